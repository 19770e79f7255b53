#include "config/schedule_times.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "base/schedule_fields.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright {
namespace {

constexpr std::string_view kStopped = "this schedule does not run";
constexpr std::string_view kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

// Each entry of an array passed to `use`, which tells whether the plug-in takes it; an
// array left with none stops the schedule. False when the value is there but not an
// array.
template <typename Use>
bool ReadEntries(const SettingValue& entries, JsonKind kind, std::string_view none_left,
                 Use&& use) {
  if (!entries.Present()) {
    return true;
  }
  if (!entries.Judge(kind, {kError, kStopped})) {
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

bool ReadClockTimes(const SettingValue& schedule, ScheduleTimes& times) {
  const SettingValue at = schedule.Member("At");
  if (!at.Present()) {
    schedule.AtValue(kError,
                     "no \"At\", so this schedule does not run; add the clock times, "
                     "such as \"At\": [\"06:00\"]");
    return false;
  }
  return ReadEntries(
      at, JsonKind::kStringArray, "no clock time", [&times](const SettingValue& entry) {
        if (!entry.Judge(JsonKind::kString, {kWarning, "this clock time is skipped"})) {
          return false;
        }
        const std::string& text = entry.Json()->get_ref<const std::string&>();
        if (const auto minutes = MinuteOfDayFromText(text)) {
          times.at_texts.push_back(text);
          times.at_minutes.push_back(*minutes);
          return true;
        }
        entry.AtValue(kWarning, fmt::format("{} is not a clock time written HH:MM from 00:00 to "
                                            "23:59, such as \"06:00\": it is skipped",
                                            ConfigCheck::Quote(text)));
        return false;
      });
}

bool ReadDays(const SettingValue& schedule, ScheduleTimes& times) {
  const SettingValue days = schedule.Member("Days");
  if (!days.Present()) {
    times.on_day.fill(true);
  }
  return ReadEntries(days, JsonKind::kStringArray, "no day", [&times](const SettingValue& entry) {
    if (!entry.Judge(JsonKind::kString, {kWarning, "this day is skipped"})) {
      return false;
    }
    entry.JudgeChoice({kDays, kWarning, "a day", "this entry is skipped", "days"});
    const auto day = WeekdayFromName(entry.Json()->get_ref<const std::string&>());
    if (day) {
      times.on_day[static_cast<std::size_t>(*day)] = true;
    }
    return day.has_value();
  });
}

bool ReadSteps(const SettingValue& schedule, ScheduleTimes& times) {
  const SettingValue before = schedule.Member("Before");
  if (!before.Present()) {
    times.before_minutes = {0};
  }
  return ReadEntries(
      before, JsonKind::kNumberArray, "no countdown step", [&times](const SettingValue& entry) {
        if (!entry.Judge(JsonKind::kNumber, {kWarning, "this step is skipped", kNumbersOnly})) {
          return false;
        }
        const auto minutes = StepMinutesFromNumber(entry.Json()->get<double>());
        if (minutes) {
          times.before_minutes.push_back(*minutes);
          return true;
        }
        entry.AtValue(kWarning, fmt::format("{} is not a whole number of minutes from 0 to "
                                            "{}: this step is skipped",
                                            entry.Json()->dump(), kLongestStepMinutes));
        return false;
      });
}

bool ReadZone(const SettingValue& schedule, ScheduleTimes& times) {
  const SettingValue zone = schedule.Member("TimeZone");
  if (zone.Present() && !zone.Judge(JsonKind::kString, {kError, kStopped})) {
    return false;
  }
  if (zone.Present()) {
    times.zone_name = zone.Json()->get<std::string>();
  }
  times.zone = FindTimeZone(times.zone_name);
  if (times.zone != nullptr || !zone.Present()) {
    return times.zone != nullptr;
  }
  const std::string name = ConfigCheck::Quote(times.zone_name);
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

}  // namespace

std::optional<ScheduleTimes> ReadScheduleTimes(const SettingValue& schedule) {
  ScheduleTimes times;
  // Each is read and judged, whatever the others give.
  const bool clock = ReadClockTimes(schedule, times);
  const bool days = ReadDays(schedule, times);
  const bool steps = ReadSteps(schedule, times);
  const bool zone = ReadZone(schedule, times);
  const bool any_day = std::ranges::find(times.on_day, true) != times.on_day.end();
  if (!clock || !days || !steps || !zone || times.at_minutes.empty() ||
      times.before_minutes.empty() || !any_day) {
    return std::nullopt;
  }
  return times;
}

}  // namespace Bellwright
