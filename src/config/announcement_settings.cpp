#include "config/announcement_settings.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "base/schedule_fields.hpp"
#include "config/server_filter.hpp"
#include "config_checks/command_name_checks.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/text_faults.hpp"

namespace Bellwright {
namespace {

using ConfigCheck::TextRule;

// About three centuries, as for the timed messages: the due time stays inside 64 bits.
constexpr double kLongestIntervalSeconds = 1e10;

constexpr std::string_view kTimedOff = "it is ignored, so timed messages stay off";
constexpr std::string_view kListStopped = "this list does not run";
constexpr std::string_view kScheduleStopped = "this schedule does not run";
constexpr std::string_view kScheduleSilent = "this schedule sends nothing";

// A switch is on when it says true, `when_absent` without it; a value of the wrong type
// keeps what it switches off.
bool ReadSwitch(const SettingValue& item, bool when_absent, std::string_view wrong) {
  const SettingValue enabled = item.Member("Enabled");
  if (!enabled.Present()) {
    return when_absent;
  }
  return enabled.Judge(JsonKind::kBoolean, {kError, wrong}) && enabled.Json()->get<bool>();
}

// What the checks of a list take for switched off: only a false that is written.
bool WrittenOff(const SettingValue& item) {
  const SettingValue enabled = item.Member("Enabled");
  return enabled.Present() && *enabled.Json() == false;
}

// The clock reads true and false as numbers and drops a fraction, so true, false and
// 1.5 send every second as 0 does, though nobody wrote a second. A whole 1 says so
// itself and gets no warning.
void JudgeTimedInterval(const SettingValue& timed, const SettingValue& interval) {
  const nlohmann::json* value = interval.Json();
  if (value == nullptr) {
    timed.AtValue(kWarning,
                  "timed messages are enabled without an \"Interval\": a message goes "
                  "out every second; add for example \"Interval\": 600 (seconds)");
  } else if (value->is_number() && std::trunc(value->get<double>()) <= 0) {
    interval.AtValue(kWarning, fmt::format("an interval of {} seconds: a timed message goes out "
                                           "every second; give the seconds between two "
                                           "messages, such as 600",
                                           value->dump()));
  } else if (value->is_boolean() ||
             (value->is_number_float() && std::trunc(value->get<double>()) == 1 && *value != 1)) {
    interval.AtValue(kWarning,
                     fmt::format("{} reads as an interval of {}: a timed message goes "
                                 "out every second; give the seconds between two "
                                 "messages, such as 600",
                                 value->dump(), *value == false ? "0 seconds" : "1 second"));
  }
}

TimedMessageSettings ReadTimed(const SettingValue& document,
                               const ConfigCheck::Registrations& commands,
                               const ServerFilter& servers) {
  TimedMessageSettings settings;
  const SettingValue timed = document.Member("TimedMessages");
  if (!timed.Present() || !timed.Judge(JsonKind::kObject, {kError, kTimedOff})) {
    return settings;
  }
  settings.enabled = ReadSwitch(timed, false, kTimedOff);
  const SettingValue interval = timed.Member("Interval");
  settings.interval_seconds = std::trunc(interval.ValueOr<double>(
      0.0, {kError, "it reads as 0, so a timed message goes out every second"},
      JsonKind::kWholeNumber));
  if (settings.enabled) {
    JudgeTimedInterval(timed, interval);
  }
  settings.list = ReadMessageList(
      timed,
      {.order_what = "an order of timed messages",
       .few_players = "it is ignored, so timed messages go out however few players are connected",
       .no_messages = "no timed message is ever sent",
       .missing = "timed messages are enabled without \"Messages\": nothing is ever sent",
       .empty = "timed messages are enabled with no messages: nothing is ever sent",
       .entry = {"this timed message is never sent (its turn passes with nothing sent)",
                 "this timed message is never sent", TimedMessageTextRule(), BlankText::kSent},
       .members_judged_whole = true,
       .servers = &servers},
      settings.enabled);
  const SettingValue command = timed.Member("OptOutCommand");
  settings.opt_out_command = command.ValueOr<std::string>(
      "", {kError,
           "it is ignored, so no opt-out command is registered and players cannot turn "
           "timed messages off"});
  if (!settings.opt_out_command.empty()) {
    ConfigCheck::CheckOptOutCommandName(commands, settings.opt_out_command, command.Pointer(),
                                        document.Findings());
  }
  settings.opt_out_off_line = timed.Member("OptOutOffMessage")
                                  .TextOr(kDefaultOptOutOffLine,
                                          {kError,
                                           "it is ignored, so players who turn timed "
                                           "messages off get $default"},
                                          OptOutOffTextRule());
  settings.opt_out_on_line = timed.Member("OptOutOnMessage")
                                 .TextOr(kDefaultOptOutOnLine,
                                         {kError,
                                          "it is ignored, so players who turn timed "
                                          "messages on get $default"},
                                         OptOutOnTextRule());
  return settings;
}

// Names taken so far, ignoring letter case, with the pointer of the first taker.
using TakenNames = std::map<std::string, std::string>;

// How bw.status names an item that does not run: its name as written, or its place.
std::string IdleName(const SettingValue& item) {
  const SettingValue name = item.Member("Name");
  if (name.IsString() && !name.Json()->get_ref<const std::string&>().empty()) {
    return name.Json()->get<std::string>();
  }
  return item.Pointer();
}

// An item without a usable name does not run, and neither does one named with a word of
// the commands or a control character, or whose name an earlier one took: the name is
// taken whether the item is switched on or not.
// `problem` is what bw.status says of one that does not run.
std::optional<std::string> TakeName(std::string_view what, std::string_view stopped,
                                    const SettingValue& item, TakenNames& taken,
                                    std::string& problem) {
  const SettingValue name = item.Member("Name");
  problem = "it has no usable \"Name\"";
  if (name.Present() && !name.Judge(JsonKind::kString, {kError, stopped})) {
    return std::nullopt;
  }
  if (!name.Present() || name.Json()->get_ref<const std::string&>().empty()) {
    (name.Present() ? name : item)
        .AtValue(kError, fmt::format("this {} has no \"Name\", so it does not run; give it a "
                                     "name no other list or schedule has",
                                     what));
    return std::nullopt;
  }
  const std::string& text = name.Json()->get_ref<const std::string&>();
  switch (RefuseAnnouncementName(text)) {
    case NameRefusal::kReserved:
      problem = "its name is a word the commands keep for themselves";
      name.AtValue(kError, fmt::format("{} is a word of bw.pause, bw.resume and bw.preview (timed, "
                                       "all, welcome, firstjoin, ignoring letter case), so this {} "
                                       "does not run; give it another name",
                                       ConfigCheck::Quote(text), what));
      return std::nullopt;
    case NameRefusal::kControlCharacter:
      problem = "its name holds a control character";
      name.AtValue(kError, fmt::format("this name holds a control character (a line break, a tab, "
                                       "…), so this {} does not run; give it a name of visible "
                                       "characters and blanks",
                                       what));
      return std::nullopt;
    case NameRefusal::kNone:
      break;
  }
  const auto [first, inserted] = taken.try_emplace(AnnouncementNameKey(text), item.Pointer());
  if (!inserted) {
    problem = "an earlier list or schedule took its name (ignoring letter case)";
    name.AtValue(kError, fmt::format("the name {} is taken by {} (names compare ignoring letter "
                                     "case), so this {} does not run",
                                     ConfigCheck::Quote(text), first->second, what));
    return std::nullopt;
  }
  return text;
}

// Whole seconds, at least 1, numbers only; none when the list cannot run on it.
std::optional<long long> ReadListInterval(const SettingValue& list, bool runs) {
  const SettingValue interval = list.Member("Interval");
  const bool number = interval.Judge(JsonKind::kWholeNumber, {kError, kListStopped, kNumbersOnly});
  if (runs && !interval.Present()) {
    list.AtValue(kError,
                 "no \"Interval\", so this list does not run; add for example "
                 "\"Interval\": 600 (seconds)");
  }
  if (!number) {
    return std::nullopt;
  }
  const double seconds = std::trunc(interval.Json()->get<double>());
  if (!(seconds >= 1)) {
    if (runs) {
      interval.AtValue(kError, fmt::format("an interval of {} seconds, so this list does not run; "
                                           "give the seconds between two messages, at least 1",
                                           interval.Json()->dump()));
    }
    return std::nullopt;
  }
  return static_cast<long long>(std::min(seconds, kLongestIntervalSeconds));
}

std::optional<AnnouncementListSettings> ReadList(const SettingValue& list, TakenNames& taken,
                                                 std::vector<IdleAnnouncement>& idle,
                                                 const ServerFilter& servers) {
  std::string name_problem;
  std::optional<std::string> name = TakeName("list", kListStopped, list, taken, name_problem);
  const bool runs = !WrittenOff(list);
  AnnouncementListSettings settings;
  settings.enabled = ReadSwitch(list, true, kListStopped);
  const std::optional<long long> interval = ReadListInterval(list, runs);
  settings.leave_out_opted_out = list.Member("OptOut").ValueOr<bool>(
      true,
      {kError, "it is ignored, so players who turned timed messages off do not get this list"});
  settings.list = ReadMessageList(
      list,
      {.order_what = "an order of messages",
       .few_players =
           "it is ignored, so the list's messages go out however few players are connected",
       .no_messages = "this list never sends anything",
       .missing = "this list has no messages: nothing is ever sent",
       .empty = "this list has no messages: nothing is ever sent",
       .entry = {"this message is never sent (its turn passes with nothing sent)",
                 "this message is never sent", ListMessageTextRule()},
       .servers = &servers},
      runs);
  ApplyListGroups(list, settings.list);
  const bool here = servers.Has(list);
  if (!name || !interval || !here) {
    // A list of another server is left out as if the file did not hold it.
    if (here) {
      idle.push_back(
          {"list", IdleName(list), !name ? name_problem : "it has no usable \"Interval\""});
    }
    return std::nullopt;
  }
  settings.name = std::move(*name);
  settings.interval_seconds = *interval;
  return settings;
}

// Which of a schedule's steps send the schedule's own text.
enum class ScheduleTextUse { kEveryStep, kSomeSteps, kNoStep };

ScheduleTextUse ReadStepMessages(const SettingValue& schedule, const EntryWords& words,
                                 ScheduleSettings& settings) {
  const SettingValue before = schedule.Member("Before");
  if (!before.IsArray()) {
    return ScheduleTextUse::kEveryStep;
  }
  bool own_text = false;
  bool schedule_text = false;
  for (const SettingValue& step : before.Elements()) {
    const SettingValue minutes = step.IsObject() ? step.Member("Minutes") : step;
    // -1: the step has no usable minutes.
    const int usable =
        minutes.IsNumber() ? StepMinutesFromNumber(minutes.Json()->get<double>()).value_or(-1) : -1;
    // A step object's keys are judged even when its minutes leave it out.
    std::optional<MessageEntry> message;
    if (step.IsObject()) {
      message = ReadStepMessage(step, settings.message, words);
    }
    if (usable < 0) {
      continue;  // skipped, with the step's own finding
    }
    const bool gives_text = step.IsObject() && step.Member("MessageToSend").Present();
    (gives_text ? own_text : schedule_text) = true;
    if (message) {
      settings.step_messages.try_emplace(usable, std::move(*message));
    }
  }
  if (!own_text) {
    return ScheduleTextUse::kEveryStep;
  }
  return schedule_text ? ScheduleTextUse::kSomeSteps : ScheduleTextUse::kNoStep;
}

// Where a schedule's findings and what bw.status says of it go.
struct ScheduleReading {
  std::vector<ZoneToLookUp>* zones_later = nullptr;
  std::chrono::sys_seconds now{};
  std::vector<IdleAnnouncement>& idle;
};

std::optional<ScheduleSettings> ReadSchedule(const SettingValue& schedule, TakenNames& taken,
                                             const ServerFilter& servers,
                                             const ScheduleReading& reading) {
  std::string name_problem;
  std::optional<std::string> name =
      TakeName("schedule", kScheduleStopped, schedule, taken, name_problem);
  ScheduleSettings settings;
  settings.enabled = ReadSwitch(schedule, true, kScheduleStopped);
  std::string times_problem;
  std::optional<ScheduleTimes> times =
      ReadScheduleTimes(schedule, reading.zones_later, reading.now, times_problem);
  settings.leave_out_opted_out = schedule.Member("OptOut").ValueOr<bool>(
      false, {kError, "it is ignored, so the schedule reaches every player"});
  settings.message =
      ReadMessageEntry(schedule, {kScheduleSilent, "this schedule sends nothing",
                                  ScheduleTextRule(), BlankText::kNotSentJudgedByOwner});
  switch (ReadStepMessages(schedule,
                           {"this step sends nothing", "this step sends nothing",
                            ScheduleTextRule(), BlankText::kNotSent},
                           settings)) {
    case ScheduleTextUse::kEveryStep:
      JudgeBlankText(schedule, "this schedule sends nothing");
      break;
    case ScheduleTextUse::kSomeSteps:
      JudgeBlankText(schedule, "its steps without a text of their own send nothing");
      break;
    case ScheduleTextUse::kNoStep:
      break;
  }
  const bool here = servers.Has(schedule);
  if (!name || !times || !here) {
    if (here) {
      reading.idle.push_back(
          {"schedule", IdleName(schedule), !name ? name_problem : times_problem});
    }
    return std::nullopt;
  }
  settings.name = std::move(*name);
  settings.times = std::move(*times);
  return settings;
}

// What a section holds: "list", and how many of them run (base/schedule_fields.hpp).
struct SectionKind {
  std::string_view what;
  std::size_t most = 0;
  std::string_view wrong_section;
  std::string_view wrong_item;
};

// Lists or schedules written as an object are none, but `judge_unread` judges the
// messages of each member as the checks always have. Those past the limit are named
// once, and neither read nor judged.
template <typename Read, typename JudgeUnread>
void ReadSection(const SettingValue& section, const SectionKind& kind, Read&& read,
                 JudgeUnread&& judge_unread) {
  if (!section.Present()) {
    return;
  }
  if (!section.Judge(JsonKind::kArray, {kError, kind.wrong_section})) {
    for (const SettingValue& item : section.Entries()) {
      judge_unread(item);
    }
    return;
  }
  const std::vector<SettingValue> items = section.Elements();
  for (std::size_t index = 0; index < items.size(); ++index) {
    if (index == kind.most) {
      items[index].AtValue(kError, fmt::format("only the first {} {}s run: this one and those "
                                               "after it do not; join some, or remove those no "
                                               "longer needed",
                                               kind.most, kind.what));
      return;
    }
    if (items[index].Judge(JsonKind::kObject, {kError, kind.wrong_item})) {
      read(items[index]);
    }
  }
}

}  // namespace

const TextRule& TimedMessageTextRule() {
  static const TextRule rule =
      ConfigCheck::FormattedOnce("a timed message", "this timed message is never delivered",
                                 {"PlayerName", "PlayerCount", "ServerName"});
  return rule;
}

const TextRule& OptOutOffTextRule() {
  static const TextRule rule = ConfigCheck::FormattedOnce(
      "the opt-out reply", "players who turn timed messages off get no reply", {"Command"});
  return rule;
}

const TextRule& OptOutOnTextRule() {
  static const TextRule rule = ConfigCheck::FormattedOnce(
      "the opt-in reply", "players who turn timed messages back on get no reply", {"Command"});
  return rule;
}

const TextRule& ListMessageTextRule() {
  static const TextRule rule =
      ConfigCheck::FormattedOnce("a list's message", "this message is never delivered",
                                 {"PlayerName", "PlayerCount", "ServerName"});
  return rule;
}

const TextRule& ScheduleTextRule() {
  static const TextRule rule = ConfigCheck::FormattedOnce(
      "a schedule's message", "this schedule's message is never delivered",
      {"Minutes", "Time", "PlayerName", "PlayerCount", "ServerName"});
  return rule;
}

AnnouncementSettings ReadAnnouncementSettings(const SettingValue& document,
                                              const ConfigCheck::Registrations& commands,
                                              std::vector<ZoneToLookUp>* zones_later,
                                              std::chrono::sys_seconds now) {
  const ServerFilter servers(document);
  AnnouncementSettings settings;
  settings.timed = ReadTimed(document, commands, servers);
  TakenNames taken;
  ReadSection(
      document.Member("Announcements"),
      {"list", kMostAnnouncementLists, "it is ignored, so no announcement list runs", kListStopped},
      [&](const SettingValue& item) {
        if (auto list = ReadList(item, taken, settings.idle, servers)) {
          settings.lists.push_back(std::move(*list));
        }
      },
      [](const SettingValue& item) { JudgeUnreadList(item, ListMessageTextRule()); });
  ReadSection(
      document.Member("Schedules"),
      {"schedule", kMostSchedules, "it is ignored, so no schedule runs", kScheduleSilent},
      [&](const SettingValue& item) {
        if (auto schedule = ReadSchedule(item, taken, servers, {zones_later, now, settings.idle})) {
          settings.schedules.push_back(std::move(*schedule));
        }
      },
      [](const SettingValue& item) { JudgeUnreadMessage(item, ScheduleTextRule()); });
  return settings;
}

}  // namespace Bellwright
