#include "config/announcement_settings.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "base/schedule_fields.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/text_faults.hpp"

namespace Bellwright {
namespace {

constexpr Severity kError = Severity::kError;
constexpr Severity kWarning = Severity::kWarning;

// About three centuries, as for the timed messages: the due time stays inside 64 bits.
constexpr double kLongestIntervalSeconds = 1e10;

constexpr std::string_view kListStopped = "this list does not run";
constexpr std::string_view kScheduleStopped = "this schedule does not run";
constexpr std::string_view kScheduleSilent = "this schedule sends nothing";
constexpr std::string_view kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

// A list or a schedule, as the findings name it.
struct Kind {
  std::string_view what;     // "list"
  std::string_view stopped;  // what a wrong type costs
};

constexpr Kind kList{"list", kListStopped};
constexpr Kind kSchedule{"schedule", kScheduleStopped};

// Names taken so far, ignoring letter case, with the pointer of the first taker.
using TakenNames = std::map<std::string, std::string>;

// An item without a usable name does not run, and neither does one whose name an
// earlier one took: the name is taken whether the item is switched on or not.
std::optional<std::string> TakeName(const Kind& kind, const SettingValue& item, TakenNames& taken) {
  const SettingValue name = item.Member("Name");
  if (name.Present() && !name.Judge(JsonKind::kString, {kError, kind.stopped})) {
    return std::nullopt;
  }
  if (!name.Present() || name.Json()->get_ref<const std::string&>().empty()) {
    (name.Present() ? name : item)
        .AtValue(kError, fmt::format("this {} has no \"Name\", so it does not run; give it a "
                                     "name no other list or schedule has",
                                     kind.what));
    return std::nullopt;
  }
  const std::string& text = name.Json()->get_ref<const std::string&>();
  const auto [first, inserted] = taken.try_emplace(AnnouncementNameKey(text), item.Pointer());
  if (!inserted) {
    name.AtValue(kError, fmt::format("the name {} is taken by {} (names compare ignoring letter "
                                     "case), so this {} does not run",
                                     ConfigCheck::Quote(text), first->second, kind.what));
    return std::nullopt;
  }
  return text;
}

// A switch is on unless it says false; a value that is not a boolean keeps the item off.
bool Enabled(const SettingValue& item, const Kind& kind) {
  const SettingValue enabled = item.Member("Enabled");
  return !enabled.Present() ||
         (enabled.Judge(JsonKind::kBoolean, {kError, kind.stopped}) && enabled.Json()->get<bool>());
}

bool SwitchedOff(const SettingValue& item) {
  const SettingValue enabled = item.Member("Enabled");
  return enabled.Present() && *enabled.Json() == false;
}

std::optional<long long> ReadInterval(const SettingValue& list, bool runs) {
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

std::optional<AnnouncementListSettings> ReadList(const SettingValue& list, TakenNames& taken) {
  std::optional<std::string> name = TakeName(kList, list, taken);
  const bool runs = !SwitchedOff(list);
  AnnouncementListSettings settings;
  settings.enabled = Enabled(list, kList);
  const std::optional<long long> interval = ReadInterval(list, runs);
  settings.leave_out_opted_out = list.Member("OptOut").ValueOr<bool>(
      JsonKind::kBoolean, true,
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
                 "this message is never sent", ListMessageTextRule()}},
      runs);
  if (!name || !interval) {
    return std::nullopt;
  }
  settings.name = std::move(*name);
  settings.interval_seconds = *interval;
  return settings;
}

// The usable entries of a schedule's array, each passed to `use`, which tells whether
// the plug-in takes it. An array left with none stops the schedule. False when the value
// is there but not an array.
template <typename Use>
bool ReadEntries(const SettingValue& entries, JsonKind kind, std::string_view none_left,
                 Use&& use) {
  if (!entries.Present()) {
    return true;
  }
  if (!entries.Judge(kind, {kError, kScheduleStopped})) {
    return false;
  }
  bool any_usable = false;
  for (const SettingValue& entry : entries.Elements()) {
    any_usable = use(entry) || any_usable;
  }
  if (!any_usable) {
    entries.AtValue(kError, fmt::format("{}, so this schedule never sends anything", none_left));
  }
  return true;
}

bool ReadClockTimes(const SettingValue& schedule, ScheduleSettings& settings) {
  const SettingValue at = schedule.Member("At");
  if (!at.Present()) {
    schedule.AtValue(kError,
                     "no \"At\", so this schedule does not run; add the clock times, "
                     "such as \"At\": [\"06:00\"]");
    return false;
  }
  return ReadEntries(
      at, JsonKind::kStringArray, "no clock time", [&settings](const SettingValue& entry) {
        if (!entry.Judge(JsonKind::kString, {kWarning, "this clock time is skipped"})) {
          return false;
        }
        const std::string& text = entry.Json()->get_ref<const std::string&>();
        if (const auto minutes = MinuteOfDayFromText(text)) {
          settings.at_texts.push_back(text);
          settings.at_minutes.push_back(*minutes);
          return true;
        }
        entry.AtValue(kWarning, fmt::format("{} is not a clock time written HH:MM from 00:00 to "
                                            "23:59, such as \"06:00\": it is skipped",
                                            ConfigCheck::Quote(text)));
        return false;
      });
}

bool ReadDays(const SettingValue& schedule, ScheduleSettings& settings) {
  const SettingValue days = schedule.Member("Days");
  if (!days.Present()) {
    settings.on_day.fill(true);
  }
  return ReadEntries(
      days, JsonKind::kStringArray, "no day", [&settings](const SettingValue& entry) {
        if (!entry.Judge(JsonKind::kString, {kWarning, "this day is skipped"})) {
          return false;
        }
        entry.JudgeChoice({kDays, kWarning, "a day", "this entry is skipped", "days"});
        if (const auto day = WeekdayFromName(entry.Json()->get_ref<const std::string&>())) {
          settings.on_day[static_cast<std::size_t>(*day)] = true;
          return true;
        }
        return false;
      });
}

bool ReadSteps(const SettingValue& schedule, ScheduleSettings& settings) {
  const SettingValue before = schedule.Member("Before");
  if (!before.Present()) {
    settings.before_minutes = {0};
  }
  return ReadEntries(
      before, JsonKind::kNumberArray, "no countdown step", [&settings](const SettingValue& entry) {
        if (!entry.Judge(JsonKind::kNumber, {kWarning, "this step is skipped", kNumbersOnly})) {
          return false;
        }
        if (const auto minutes = StepMinutesFromNumber(entry.Json()->get<double>())) {
          settings.before_minutes.push_back(*minutes);
          return true;
        }
        entry.AtValue(kWarning, fmt::format("{} is not a whole number of minutes from 0 to "
                                            "{}: this step is skipped",
                                            entry.Json()->dump(), kLongestStepMinutes));
        return false;
      });
}

bool ReadZone(const SettingValue& schedule, ScheduleSettings& settings) {
  const SettingValue zone = schedule.Member("TimeZone");
  if (zone.Present() && !zone.Judge(JsonKind::kString, {kError, kScheduleStopped})) {
    return false;
  }
  if (zone.Present()) {
    settings.zone_name = zone.Json()->get<std::string>();
  }
  settings.zone = FindTimeZone(settings.zone_name);
  if (settings.zone != nullptr || !zone.Present()) {
    return settings.zone != nullptr;
  }
  const std::string name = ConfigCheck::Quote(settings.zone_name);
  if (const std::string problem = TimeZoneDatabaseProblem(); !problem.empty()) {
    zone.AtValue(kError, fmt::format("{} cannot be looked up, so this schedule does not run: the "
                                     "time-zone database cannot be read ({}); only \"UTC\" is "
                                     "known without it",
                                     name, problem));
  } else {
    zone.AtValue(kError, fmt::format("{} is not a zone of the IANA time-zone database, so this "
                                     "schedule does not run; write a name such as "
                                     "\"Europe/Berlin\" or \"UTC\", letter case as listed",
                                     name));
  }
  return false;
}

std::optional<ScheduleSettings> ReadSchedule(const SettingValue& schedule, TakenNames& taken) {
  std::optional<std::string> name = TakeName(kSchedule, schedule, taken);
  ScheduleSettings settings;
  settings.enabled = Enabled(schedule, kSchedule);
  // Each is read and judged, whatever the others give.
  const bool times = ReadClockTimes(schedule, settings);
  const bool days = ReadDays(schedule, settings);
  const bool steps = ReadSteps(schedule, settings);
  const bool zone = ReadZone(schedule, settings);
  settings.leave_out_opted_out = schedule.Member("OptOut").ValueOr<bool>(
      JsonKind::kBoolean, false, {kError, "it is ignored, so the schedule reaches every player"});
  settings.message = ReadMessageEntry(
      schedule, {kScheduleSilent, "this schedule sends nothing", ScheduleTextRule()});
  const bool any_day = std::ranges::find(settings.on_day, true) != settings.on_day.end();
  if (!name || !times || !days || !steps || !zone || settings.at_minutes.empty() ||
      settings.before_minutes.empty() || !any_day) {
    return std::nullopt;
  }
  settings.name = std::move(*name);
  return settings;
}

// Lists or schedules written as an object are none, but `judge_unread` judges the
// messages of each member as the checks always have.
template <typename Read, typename JudgeUnread>
void ReadSection(const SettingValue& section, std::string_view wrong_section,
                 std::string_view wrong_item, Read&& read, JudgeUnread&& judge_unread) {
  if (!section.Present()) {
    return;
  }
  if (!section.Judge(JsonKind::kArray, {kError, wrong_section})) {
    for (const SettingValue& item : section.Entries()) {
      judge_unread(item);
    }
    return;
  }
  for (const SettingValue& item : section.Elements()) {
    if (item.Judge(JsonKind::kObject, {kError, wrong_item})) {
      read(item);
    }
  }
}

}  // namespace

const ConfigCheck::TextRule& ListMessageTextRule() {
  static const ConfigCheck::TextRule rule{.what = "a list's message",
                                          .placeholders = "{PlayerName} and {PlayerCount}",
                                          .undelivered = "this message is never delivered",
                                          .substituted = {"PlayerName", "PlayerCount"},
                                          .passes = {ConfigCheck::NoArguments()}};
  return rule;
}

const ConfigCheck::TextRule& ScheduleTextRule() {
  static const ConfigCheck::TextRule rule{
      .what = "a schedule's message",
      .placeholders = "{Minutes}, {Time}, {PlayerName} and {PlayerCount}",
      .undelivered = "this schedule's message is never delivered",
      .substituted = {"Minutes", "Time", "PlayerName", "PlayerCount"},
      .passes = {ConfigCheck::NoArguments()}};
  return rule;
}

AnnouncementSettings ReadAnnouncementSettings(const SettingValue& document) {
  AnnouncementSettings settings;
  TakenNames taken;
  ReadSection(
      document.Member("Announcements"), "it is ignored, so no announcement list runs", kListStopped,
      [&](const SettingValue& item) {
        if (auto list = ReadList(item, taken)) {
          settings.lists.push_back(std::move(*list));
        }
      },
      [](const SettingValue& item) {
        for (const SettingValue& message : item.Member("Messages").Entries()) {
          JudgeUnreadMessage(message, ListMessageTextRule());
        }
      });
  ReadSection(
      document.Member("Schedules"), "it is ignored, so no schedule runs", kScheduleSilent,
      [&](const SettingValue& item) {
        if (auto schedule = ReadSchedule(item, taken)) {
          settings.schedules.push_back(std::move(*schedule));
        }
      },
      [](const SettingValue& item) { JudgeUnreadMessage(item, ScheduleTextRule()); });
  return settings;
}

}  // namespace Bellwright
