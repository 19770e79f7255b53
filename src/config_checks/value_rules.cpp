#include "config_checks/value_rules.hpp"

#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

constexpr Severity kError = Severity::kError;
constexpr Severity kWarning = Severity::kWarning;

constexpr std::string_view kSendChatFails = "every bw.sendchat without colour numbers fails";
constexpr std::string_view kSendServerFails = "every bw.sendserver without colour numbers fails";
constexpr std::string_view kSendNotificationFails =
    "every bw.sendnotification that takes its values from the configuration fails";
constexpr std::string_view kTimedMessageLost =
    "this timed message is never sent (its turn passes with nothing sent)";
constexpr std::string_view kGroupWelcomeSkipped =
    "this entry is skipped, so its group's members get the welcome \"Message\" (or a later "
    "entry's)";
constexpr std::string_view kSqliteInstead =
    "it is ignored, so the choices are kept in SQLite, in bellwright.sqlite next to config.json";
constexpr std::string_view kListStopped = "this list does not run";
constexpr std::string_view kScheduleStopped = "this schedule does not run";
constexpr std::string_view kScheduleSilent = "this schedule sends nothing";
constexpr bool kOnlyNumbers = false;

// The send commands read their section strictly, so a bad value fails the command;
// the welcome message, the hide rule and the timed-message clock read leniently and
// fall back to defaults; the custom-command loader and a timed message's turn stop
// at the first value they cannot read.
constexpr WrongTypeRule kWrongTypeRules[] = {
    {"/Bellwright", false, kError,
     "none of its settings is read, so bw.sendchat, bw.sendserver and bw.sendnotification "
     "without colour numbers fail and the welcome message stays off"},
    {"/Bellwright/HideSuccessMessagesToNonAdmins", false, kError,
     "it is ignored, so replies are never hidden"},
    {"/Bellwright/ClientChatColour", true, kError, kSendChatFails},
    {"/Bellwright/ServerMessageColor", true, kError, kSendServerFails},
    {"/Bellwright/NotificationColor", true, kError, kSendNotificationFails},
    {"/Bellwright/NotificationDisplayScale", false, kError, kSendNotificationFails},
    {"/Bellwright/NotificationDisplayTime", false, kError, kSendNotificationFails},
    {"/Bellwright/ClientChatSenderName", false, kError,
     "it is ignored, so the sender name $default is used"},
    {"/Bellwright/WelcomeMessage", false, kError,
     "it is ignored, so the welcome message stays off"},
    {"/Bellwright/WelcomeMessage/EnableWelcomeMessage", false, kError,
     "it is ignored, so the welcome message stays off"},
    {"/Bellwright/WelcomeMessage/WelcomeMessageType", false, kWarning,
     "it is ignored, so the greeting goes out as a chat line"},
    {"/Bellwright/WelcomeMessage/Message", false, kError,
     "it is ignored, so the greeting is $default"},
    {"/Bellwright/WelcomeMessage/WelcomeMessageColour", false, kError,
     "it is ignored, so the greeting comes out black"},
    {"/Bellwright/WelcomeMessage/WelcomeMessageColour/*", false, kError,
     "it reads as 0 in the greeting's colour"},
    {"/Bellwright/WelcomeMessage/NotificationDisplayScale", false, kError,
     "it is ignored, so the greeting's notification takes the default $default"},
    {"/Bellwright/WelcomeMessage/NotificationDisplayTime", false, kError,
     "it is ignored, so the greeting's notification takes the default $default"},
    {"/Bellwright/WelcomeMessage/Icon_BP", false, kError,
     "it is ignored, so the greeting's notification has no icon"},
    {"/Bellwright/WelcomeMessage/DelaySeconds", false, kError,
     "it is ignored, so the greeting waits the default $default seconds", kOnlyNumbers},
    {"/Bellwright/WelcomeMessage/GroupMessages", false, kError,
     "it is ignored, so every player gets the welcome \"Message\""},
    {"/Bellwright/WelcomeMessage/GroupMessages/*", true, kWarning, kGroupWelcomeSkipped},
    {"/Bellwright/WelcomeMessage/FirstJoinMessage", false, kError,
     "it is ignored, so first-time players get the ordinary greeting"},
    {"/Bellwright/Storage", false, kError, kSqliteInstead},
    {"/Bellwright/Storage/Type", false, kError, kSqliteInstead},
    {"/Bellwright/Storage/Host", false, kError, "it is ignored, so the host $default is used"},
    {"/Bellwright/Storage/Port", false, kError, "it is ignored, so the port $default is used"},
    {"/Bellwright/Storage/User", false, kError, "it is ignored, so the user name is empty"},
    {"/Bellwright/Storage/Password", false, kError, "it is ignored, so no password is given"},
    {"/Bellwright/Storage/Database", false, kError,
     "it is ignored, so no database is named: the table cannot be made and the choices stay in "
     "memory only"},
    {"/NoPermission", false, kError, "it is ignored, so refused players get $default"},
    {"/CooldownMessage", false, kError, "it is ignored, so players on cooldown get $default"},
    // The loader reads the newer command keys leniently: they never stop the others.
    {"/CustomCommands/*/Aliases", false, kError, "it is ignored, so the command has no aliases"},
    {"/CustomCommands/*/Aliases/*", false, kWarning,
     "this alias is skipped; the other aliases are registered"},
    {"/CustomCommands/*/CooldownSeconds", false, kError,
     "it is ignored, so the command has no cooldown", kOnlyNumbers},
    {"/CustomCommands", true, kError, kStopsCustomCommands},
    {"/TimedMessages", false, kError, "it is ignored, so timed messages stay off"},
    {"/TimedMessages/Enabled", false, kError, "it is ignored, so timed messages stay off"},
    {"/TimedMessages/Interval", false, kError,
     "it reads as 0, so a timed message goes out every second"},
    {"/TimedMessages/Order", false, kWarning, "it is ignored, so each message is drawn at random"},
    {"/TimedMessages/MinPlayers", false, kError,
     "it is ignored, so timed messages go out however few players are connected", kOnlyNumbers},
    {"/TimedMessages/Messages", false, kError, "no timed message is ever sent"},
    {"/TimedMessages/Messages/*", true, kError, kTimedMessageLost},
    {"/TimedMessages/OptOutCommand", false, kError,
     "it is ignored, so no opt-out command is registered and players cannot turn timed "
     "messages off"},
    {"/TimedMessages/OptOutOffMessage", false, kError,
     "it is ignored, so players who turn timed messages off get $default"},
    {"/TimedMessages/OptOutOnMessage", false, kError,
     "it is ignored, so players who turn timed messages on get $default"},
    {"/Announcements", false, kError, "it is ignored, so no announcement list runs"},
    {"/Announcements/*", false, kError, kListStopped},
    {"/Announcements/*/Name", false, kError, kListStopped},
    {"/Announcements/*/Enabled", false, kError, kListStopped},
    {"/Announcements/*/Interval", false, kError, kListStopped, kOnlyNumbers},
    {"/Announcements/*/Order", false, kWarning,
     "it is ignored, so each message is drawn at random"},
    {"/Announcements/*/MinPlayers", false, kError,
     "it is ignored, so the list's messages go out however few players are connected",
     kOnlyNumbers},
    {"/Announcements/*/OptOut", false, kError,
     "it is ignored, so players who turned timed messages off do not get this list"},
    {"/Announcements/*/Messages", false, kError, "this list never sends anything"},
    {"/Announcements/*/Messages/*", true, kError,
     "this message is never sent (its turn passes with nothing sent)"},
    {"/Schedules", false, kError, "it is ignored, so no schedule runs"},
    // The schedule's own message keys: a turn that cannot read them sends nothing.
    {"/Schedules/*", true, kError, kScheduleSilent},
    {"/Schedules/*/Name", false, kError, kScheduleStopped},
    {"/Schedules/*/Enabled", false, kError, kScheduleStopped},
    {"/Schedules/*/At", false, kError, kScheduleStopped},
    {"/Schedules/*/At/*", false, kWarning, "this clock time is skipped"},
    {"/Schedules/*/Days", false, kError, kScheduleStopped},
    {"/Schedules/*/Days/*", false, kWarning, "this day is skipped"},
    {"/Schedules/*/TimeZone", false, kError, kScheduleStopped},
    {"/Schedules/*/Before", false, kError, kScheduleStopped},
    {"/Schedules/*/Before/*", false, kWarning, "this step is skipped", kOnlyNumbers},
    {"/Schedules/*/OptOut", false, kError, "it is ignored, so the schedule reaches every player"},
    // bw.countdown reads its section leniently: a bad value gives that value's default.
    {"/Countdown", false, kError, "it is ignored, so bw.countdown uses the defaults"},
    {"/Countdown/Steps", false, kError,
     "it is ignored, so the countdown announces at the default steps $default"},
    {"/Countdown/Steps/*", false, kWarning, "this step is skipped", kOnlyNumbers},
    {"/Countdown/MessageToSend", false, kError, "it is ignored, so the countdown says $default"},
    {"/Countdown/FinalMessage", false, kError, "it is ignored, so nothing is sent at 0"},
    {"/Countdown/MessageType", false, kError,
     "it is ignored, so the countdown goes out as server messages"},
    {"/Countdown/MessageColour", false, kError,
     "it is ignored, so the countdown is red (255, 64, 64)"},
    {"/Countdown/MessageColour/*", false, kError, "it reads as 0 in the countdown's colour"},
    {"/Countdown/Sender", false, kError, "it is ignored, so the sender name $default is used"},
    {"/Countdown/DisplayScale", false, kError,
     "it is ignored, so the countdown's notification takes the default $default"},
    {"/Countdown/DisplayTime", false, kError,
     "it is ignored, so the countdown's notification takes the default $default"},
    {"/Countdown/Icon_BP", false, kError,
     "it is ignored, so the countdown's notification has no icon"},
};

constexpr EnumRule kEnumRules[] = {
    {"/CustomCommands/*/Type", kError, "a message type",
     "the command sends no reply (its Command_To_Execute still runs)"},
    {"/TimedMessages/Messages/*/MessageType", kError, "a message type",
     "this timed message is never sent"},
    {"/Bellwright/WelcomeMessage/WelcomeMessageType", kWarning, "a welcome message type",
     "the greeting goes out as a chat line"},
    {"/TimedMessages/Order", kWarning, "an order of timed messages",
     "each message is drawn at random", "orders"},
    {"/Announcements/*/Messages/*/MessageType", kError, "a message type",
     "this message is never sent"},
    {"/Announcements/*/Order", kWarning, "an order of messages", "each message is drawn at random",
     "orders"},
    {"/Schedules/*/MessageType", kError, "a message type", "this schedule sends nothing"},
    {"/Schedules/*/Days/*", kWarning, "a day", "this entry is skipped", "days"},
    {"/Countdown/MessageType", kError, "a message type",
     "the countdown's announcements are never sent"},
    {"/Bellwright/Storage/Type", kError, "a storage type",
     "the opt-out choices are kept in memory only, for the session, and an error is logged"},
};

bool Covers(std::string_view pattern, std::string_view pointer) {
  for (std::string ancestor(pointer); !ancestor.empty(); ancestor = ParentPointer(ancestor)) {
    if (MatchesPattern(pattern, ancestor)) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::span<const WrongTypeRule> WrongTypeRules() {
  return kWrongTypeRules;
}

std::span<const EnumRule> EnumRules() {
  return kEnumRules;
}

const WrongTypeRule* WrongTypeRuleFor(std::string_view pointer) {
  const WrongTypeRule* nearest = nullptr;
  std::size_t nearest_length = 0;
  for (const WrongTypeRule& rule : kWrongTypeRules) {
    if (MatchesPattern(rule.pattern, pointer)) {
      return &rule;
    }
    if (rule.covers_descendants && Covers(rule.pattern, pointer) &&
        rule.pattern.size() >= nearest_length) {
      nearest = &rule;
      nearest_length = rule.pattern.size();
    }
  }
  return nearest;
}

const EnumRule* EnumRuleFor(std::string_view pointer) {
  for (const EnumRule& rule : kEnumRules) {
    if (MatchesPattern(rule.pattern, pointer)) {
      return &rule;
    }
  }
  return nullptr;
}

}  // namespace Bellwright::ConfigCheck
