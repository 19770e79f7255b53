#include "config/welcome_settings.hpp"

#include <fmt/format.h>

#include <limits>
#include <string_view>
#include <unordered_map>

#include "base/format_bounds.hpp"
#include "config/colour_reader.hpp"
#include "config/message_members.hpp"
#include "config_checks/command_registrations.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/text_faults.hpp"

namespace Bellwright {
namespace {

using ConfigCheck::TextRule;

constexpr std::string_view kStaysOff = "it is ignored, so the welcome message stays off";
constexpr std::string_view kGroupWelcomeSkipped =
    "this entry is skipped, so its group's members get the welcome \"Message\" (or a later "
    "entry's)";
constexpr std::string_view kWelcomeFields =
    "{0} or {} (the character name), {PlayerName}, {PlayerCount} and {ServerName}";

constexpr std::string_view kWelcomeTypes[] = {"Chat", "Server", "Notification"};

// The welcome texts are formatted with the character name, by position and as
// {PlayerName}, the player count and the server's name, a count's words written out
// before, then once more by the delivery.
TextRule WelcomeRule(std::string_view what, std::string_view undelivered) {
  const ConfigCheck::FormatPass with_the_name{{{nullptr, "Ann"},
                                               {"PlayerName", "Ann"},
                                               {"PlayerCount", "1", true},
                                               {"ServerName", "Center"}},
                                              "once the character name is filled in"};
  return {.what = what,
          .placeholders = std::string(kWelcomeFields),
          .undelivered = undelivered,
          .counts_with_words = {"PlayerCount"},
          .passes = {with_the_name, ConfigCheck::NoArguments()},
          .max_width = kLongestFormatField,
          .one_positional_field = true};
}

// The plug-in skips an entry without a string group and a string message, and asks
// the groups in order, so a group listed twice gets the first entry only.
std::vector<WelcomeGroupMessage> ReadGroupMessages(const SettingValue& list) {
  std::vector<WelcomeGroupMessage> messages;
  if (!list.Present()) {
    return messages;
  }
  if (!list.Judge(JsonKind::kArray,
                  {kError, "it is ignored, so every player gets the welcome \"Message\""})) {
    // Group welcomes written as an object are none, but their texts have always been
    // judged.
    for (const SettingValue& entry : list.Entries()) {
      MessageMembersOf(entry, MessageKeys::kWelcome).text.JudgeText(GroupWelcomeTextRule());
    }
    return messages;
  }
  const WrongType skipped{kWarning, kGroupWelcomeSkipped};
  std::unordered_map<std::u16string, std::size_t> first_entry_of_group;
  std::size_t index = 0;
  for (const SettingValue& entry : list.Elements()) {
    const std::size_t position = index++;
    if (!entry.Judge(JsonKind::kObject, skipped)) {
      continue;
    }
    const SettingValue group = entry.Member("Group");
    const SettingValue message = MessageMembersOf(entry, MessageKeys::kWelcome).text;
    const bool group_readable = group.Judge(JsonKind::kString, skipped);
    const bool message_readable = message.Judge(JsonKind::kString, skipped);
    message.JudgeText(GroupWelcomeTextRule());
    std::vector<std::string> missing;
    for (const SettingValue* value : {&group, &message}) {
      if (!value->Present()) {
        missing.push_back(value->Key());
      }
    }
    if (!missing.empty()) {
      entry.AtValue(kWarning, fmt::format("a group welcome without {} is skipped",
                                          QuotedList(missing, " or ")));
      continue;
    }
    const bool readable = group_readable && message_readable;
    if (!readable) {
      continue;
    }
    const std::string& name = group.Json()->get_ref<const std::string&>();
    const auto [first, inserted] =
        first_entry_of_group.try_emplace(ConfigCheck::FoldedName(name), position);
    if (!inserted) {
      group.AtValue(kWarning, fmt::format("group {} is asked already by entry {} (letter case "
                                          "is ignored), so this entry is never used",
                                          ConfigCheck::Quote(name), first->second));
    }
    messages.push_back({name, message.Json()->get<std::string>()});
  }
  return messages;
}

void JudgeLook(const SettingValue& welcome, const MessageMembers& members,
               const WelcomeSettings& settings) {
  const SettingValue enabled = welcome.Member("EnableWelcomeMessage");
  if (!enabled.Present() || *enabled.Json() != true) {
    const SettingValue first_join = welcome.Member("FirstJoinMessage");
    if (first_join.IsString() && !settings.first_join_message.empty()) {
      first_join.AtKey(kWarning,
                       "is never sent: the welcome is off (\"EnableWelcomeMessage\": true "
                       "switches it on); the storage is opened for it all the same");
    }
    return;
  }
  if (members.type.Present() && *members.type.Json() == "Notification") {
    JudgeVisible(members.display_time, members.display_scale, "the greeting");
  }
  if (!members.colour.Present()) {
    welcome.AtValue(kWarning,
                    "no \"WelcomeMessageColour\": the greeting comes out black; add for example "
                    "\"WelcomeMessageColour\": {\"R\": 255, \"G\": 255, \"B\": 255}");
  }
}

}  // namespace

const TextRule& WelcomeTextRule() {
  static const TextRule rule = WelcomeRule("the welcome text", "the greeting is never delivered");
  return rule;
}

const TextRule& FirstJoinTextRule() {
  static const TextRule rule =
      WelcomeRule("the first-join welcome text", "first-time players get no greeting");
  return rule;
}

const TextRule& GroupWelcomeTextRule() {
  static const TextRule rule =
      WelcomeRule("a group's welcome text", "the group's members get no greeting");
  return rule;
}

WelcomeSettings ReadWelcomeSettings(const SettingValue& general) {
  WelcomeSettings settings;
  const SettingValue welcome = general.Member("WelcomeMessage");
  if (!welcome.Present() || !welcome.Judge(JsonKind::kObject, {kError, kStaysOff})) {
    return settings;
  }
  const MessageMembers members = MessageMembersOf(welcome, MessageKeys::kWelcome);
  settings.enabled =
      welcome.Member("EnableWelcomeMessage").ValueOr<bool>(false, {kError, kStaysOff});
  settings.type = members.type.ChoiceOr(
      settings.type, {kWarning, "it is ignored, so the greeting goes out as a chat line"},
      {kWelcomeTypes, kWarning, "a welcome message type", "the greeting goes out as a chat line"});
  settings.message = members.text.TextOr(
      settings.message, {kError, "it is ignored, so the greeting is $default"}, WelcomeTextRule());
  settings.colour = LenientColour(members.colour, settings.colour,
                                  {{kError, "it is ignored, so the greeting comes out black"},
                                   {kError, "it reads as 0 in the greeting's colour"}});
  const WrongType default_taken{
      kError, "it is ignored, so the greeting's notification takes the default $default"};
  settings.display_scale =
      members.display_scale.ValueOr<float>(settings.display_scale, default_taken);
  settings.display_time = members.display_time.ValueOr<float>(settings.display_time, default_taken);
  settings.icon = members.icon.ValueOr<std::string>(
      "", {kError, "it is ignored, so the greeting's notification has no icon"});
  settings.delay_seconds = static_cast<int>(
      welcome.Member("DelaySeconds")
          .WholeNumberOr(
              kDefaultWelcomeDelaySeconds, 0, std::numeric_limits<int>::max(),
              {kError, "it is ignored, so the greeting waits the default $default seconds",
               kNumbersOnly}));
  settings.group_messages = ReadGroupMessages(welcome.Member("GroupMessages"));
  settings.first_join_message = welcome.Member("FirstJoinMessage")
                                    .TextOr("",
                                            {kError,
                                             "it is ignored, so first-time players get "
                                             "the ordinary greeting"},
                                            FirstJoinTextRule());
  JudgeLook(welcome, members, settings);
  return settings;
}

}  // namespace Bellwright
