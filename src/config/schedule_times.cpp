#include "config/schedule_times.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "base/calendar_text.hpp"
#include "base/schedule_fields.hpp"
#include "base/time_zone.hpp"
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

// A restart warning is given within the day before; a step longer than that is most
// likely hours written as minutes, or a slip of a digit.
constexpr int kLongestUsualStep = 1440;

void JudgeLongStep(const SettingValue& step, int minutes) {
  if (minutes <= kLongestUsualStep) {
    return;
  }
  step.AtValue(kWarning,
               fmt::format("a step of {} minutes goes out {}h{:02} before its \"At\" time, more "
                           "than a day early; steps are minutes, up to {} for a day",
                           minutes, minutes / 60, minutes % 60, kLongestUsualStep));
}

bool ReadSteps(const SettingValue& schedule, ScheduleTimes& times) {
  const SettingValue before = schedule.Member("Before");
  if (!before.Present()) {
    times.before_minutes = {0};
  }
  return ReadEntries(
      before, JsonKind::kArray, "no countdown step", [&times](const SettingValue& step) {
        // A step object gives its minutes as a plain step does.
        const SettingValue entry = step.IsObject() ? step.Member("Minutes") : step;
        if (step.IsObject() && !entry.Present()) {
          step.AtValue(kWarning,
                       "a step without \"Minutes\" is skipped; add for example "
                       "\"Minutes\": 5");
          return false;
        }
        if (!entry.Judge(JsonKind::kNumber, {kWarning, "this step is skipped", kNumbersOnly})) {
          return false;
        }
        const auto minutes = StepMinutesFromNumber(entry.Json()->get<double>());
        if (minutes) {
          times.before_minutes.push_back(*minutes);
          JudgeLongStep(entry, *minutes);
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

// How far ahead the clocks' changes are looked for: a year from the reading.
constexpr std::chrono::days kGapsAhead{366};

// The day `time` falls on, as "Sun 2027-03-28", and its time of day, "02:30".
std::string DayText(std::chrono::local_seconds time) {
  const auto day = std::chrono::floor<std::chrono::days>(time);
  const std::string calendar = CalendarMinuteText(time);
  return fmt::format("{} {}", kDays[std::chrono::weekday(day).iso_encoding() - 1],
                     calendar.substr(0, calendar.find(' ')));
}

std::string ClockText(std::chrono::local_seconds time) {
  const std::string calendar = CalendarMinuteText(time);
  return calendar.substr(calendar.find(' ') + 1);
}

// An "At" time the clocks skip on one of its days in the coming year goes out at the
// first minute after the gap that day; the administrator hears of it beforehand.
void JudgeClockGaps(const SettingValue& schedule, const ScheduleTimes& times,
                    std::chrono::sys_seconds now) {
  const std::vector<ClockGap> gaps = ClockGapsBetween(*times.zone, now, now + kGapsAhead);
  if (gaps.empty()) {
    return;
  }
  for (const SettingValue& entry : schedule.Member("At").Elements()) {
    const auto minute = entry.IsString()
                            ? MinuteOfDayFromText(entry.Json()->get_ref<const std::string&>())
                            : std::nullopt;
    if (!minute) {
      continue;
    }
    std::vector<std::string> skipped;
    for (const ClockGap& gap : gaps) {
      const auto first_day = std::chrono::floor<std::chrono::days>(gap.first);
      const auto last_day =
          std::chrono::floor<std::chrono::days>(gap.after - std::chrono::seconds{1});
      for (auto day = first_day; day <= last_day; day += std::chrono::days{1}) {
        const std::chrono::local_seconds at = day + std::chrono::minutes{*minute};
        if (at >= gap.first && at < gap.after &&
            times.on_day[std::chrono::weekday(day).iso_encoding() - 1]) {
          skipped.push_back(
              fmt::format("on {} it goes out at {} instead", DayText(at), ClockText(gap.after)));
        }
      }
    }
    if (!skipped.empty()) {
      entry.AtValue(kWarning, fmt::format("{} is skipped by the clocks of {} when they go "
                                          "forward: {}",
                                          ConfigCheck::Quote(entry.Json()->get<std::string>()),
                                          times.zone_name, fmt::join(skipped, "; ")));
    }
  }
}

}  // namespace

std::optional<ScheduleTimes> ReadScheduleTimes(const SettingValue& schedule,
                                               std::chrono::sys_seconds now, std::string& problem) {
  ScheduleTimes times;
  // Each is read and judged, whatever the others give.
  const bool clock = ReadClockTimes(schedule, times);
  const bool days = ReadDays(schedule, times);
  const bool steps = ReadSteps(schedule, times);
  const bool zone = ReadZone(schedule, times);
  if (zone && days) {
    JudgeClockGaps(schedule, times, now);
  }
  const bool any_day = std::ranges::find(times.on_day, true) != times.on_day.end();
  if (!clock || times.at_minutes.empty()) {
    problem = "it has no usable \"At\" clock time";
  } else if (!days || !any_day) {
    problem = "it has no usable day in \"Days\"";
  } else if (!steps || times.before_minutes.empty()) {
    problem = "it has no usable \"Before\" step";
  } else if (!zone) {
    problem =
        TimeZoneDatabaseProblem().empty() || times.zone_name == "UTC"
            ? fmt::format("the time zone {} is not known", ConfigCheck::Quote(times.zone_name))
            : "the time-zone database cannot be read";
  } else {
    return times;
  }
  return std::nullopt;
}

}  // namespace Bellwright
