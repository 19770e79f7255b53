#include "config/schedule_times.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <chrono>
#include <limits>
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

// How many usable entries of an array a schedule takes, and what the rest are called.
struct EntryLimit {
  std::size_t most = std::numeric_limits<std::size_t>::max();
  std::string_view what;  // "clock times"
};

// Each entry of an array passed to `use`, which tells whether the plug-in can use it and
// takes it while `room` says so; an array left with none stops the schedule, and the
// usable entries past the limit are named once. False when the value is there but not
// an array.
template <typename Use>
bool ReadEntries(const SettingValue& entries, JsonKind kind, std::string_view none_left,
                 const EntryLimit& limit, Use&& use) {
  if (!entries.Present()) {
    return true;
  }
  if (!entries.Judge(kind, {kError, kStopped})) {
    return false;
  }
  std::size_t used = 0;
  for (const SettingValue& entry : entries.Elements()) {
    if (!use(entry, used < limit.most)) {
      continue;
    }
    if (used == limit.most) {
      entry.AtValue(kWarning, fmt::format("a schedule uses its first {} {}: this one and those "
                                          "after it are skipped",
                                          limit.most, limit.what));
      break;
    }
    ++used;
  }
  if (used == 0) {
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
      at, JsonKind::kStringArray, "no clock time", {kMostClockTimes, "clock times"},
      [&times](const SettingValue& entry, bool room) {
        if (!entry.Judge(JsonKind::kString, {kWarning, "this clock time is skipped"})) {
          return false;
        }
        const std::string& text = entry.Json()->get_ref<const std::string&>();
        if (const auto minutes = MinuteOfDayFromText(text)) {
          if (room) {
            times.at_texts.push_back(text);
            times.at_minutes.push_back(*minutes);
          }
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
  return ReadEntries(
      days, JsonKind::kStringArray, "no day", {},
      [&times](const SettingValue& entry, bool /*room*/) {
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
      before, JsonKind::kArray, "no countdown step", {kMostCountdownSteps, "countdown steps"},
      [&times](const SettingValue& step, bool room) {
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
          JudgeLongStep(entry, *minutes);
          if (room) {
            times.before_minutes.push_back(*minutes);
          }
          return true;
        }
        entry.AtValue(kWarning, fmt::format("{} is not a whole number of minutes from 0 to "
                                            "{}: this step is skipped",
                                            entry.Json()->dump(), kLongestStepMinutes));
        return false;
      });
}

// Why `name` stops its schedule; none when the database knows it.
std::optional<std::string> ZoneProblem(const std::string& name) {
  if (FindTimeZone(name) != nullptr) {
    return std::nullopt;
  }
  if (const std::string problem = TimeZoneDatabaseProblem(); !problem.empty()) {
    return fmt::format(
        "{} cannot be looked up, so this schedule does not run: the time-zone "
        "database cannot be read ({}); only \"UTC\" is known without it",
        ConfigCheck::Quote(name), problem);
  }
  return fmt::format(
      "{} is not a zone of the IANA time-zone database, so this schedule does "
      "not run; write a name such as \"Europe/Berlin\" or \"UTC\", letter case as "
      "listed",
      ConfigCheck::Quote(name));
}

// Where `value` stands, for a finding made later.
ConfigCheck::LineColumn PlaceOf(const SettingValue& value) {
  const ConfigCheck::PositionIndex& index = value.Findings().Index();
  const std::optional<ConfigCheck::ValuePlace> place = index.Find(value.Pointer());
  return index.Locate(place ? place->value_offset : 0);
}

// A zone written as a string goes into `zones`, to be looked up; the clock times and
// days are added once they are read.
bool ReadZone(const SettingValue& schedule, ScheduleTimes& times,
              std::vector<ZoneToLookUp>& zones) {
  const SettingValue zone = schedule.Member("TimeZone");
  if (!zone.Present()) {
    return true;
  }
  if (!zone.Judge(JsonKind::kString, {kError, kStopped})) {
    return false;
  }
  times.zone_name = zone.Json()->get<std::string>();
  const ConfigCheck::LineColumn at = PlaceOf(zone);
  zones.push_back({times.zone_name, zone.Pointer(), at.line, at.column, {}, {}});
  return true;
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

// The days within a year of `now` on which the clocks of `zone` skip `minute` of the
// day, on the listed days, each with the time it goes out at instead.
std::vector<std::string> SkippedDays(const TimeZone& zone, int minute,
                                     const std::array<bool, 7>& on_day,
                                     std::chrono::sys_seconds now) {
  std::vector<std::string> skipped;
  for (const ClockGap& gap : ClockGapsBetween(zone, now, now + kGapsAhead)) {
    const auto first_day = std::chrono::floor<std::chrono::days>(gap.first);
    const auto last_day =
        std::chrono::floor<std::chrono::days>(gap.after - std::chrono::seconds{1});
    for (auto day = first_day; day <= last_day; day += std::chrono::days{1}) {
      const std::chrono::local_seconds at = day + std::chrono::minutes{minute};
      if (at >= gap.first && at < gap.after &&
          on_day[std::chrono::weekday(day).iso_encoding() - 1]) {
        skipped.push_back(
            fmt::format("on {} it goes out at {} instead", DayText(at), ClockText(gap.after)));
      }
    }
  }
  return skipped;
}

std::string SkippedMessage(std::string_view text, std::string_view zone_name,
                           const std::vector<std::string>& skipped) {
  return fmt::format("{} is skipped by the clocks of {} when they go forward: {}",
                     ConfigCheck::Quote(text), zone_name, fmt::join(skipped, "; "));
}

// Each usable "At" time of `schedule`, with where it stands.
std::vector<ClockTimeToJudge> ClockTimesOf(const SettingValue& schedule) {
  std::vector<ClockTimeToJudge> clock_times;
  for (const SettingValue& entry : schedule.Member("At").Elements()) {
    if (!entry.IsString()) {
      continue;
    }
    const std::string& text = entry.Json()->get_ref<const std::string&>();
    if (const auto minute = MinuteOfDayFromText(text)) {
      const ConfigCheck::LineColumn at = PlaceOf(entry);
      clock_times.push_back({text, *minute, entry.Pointer(), at.line, at.column});
    }
  }
  return clock_times;
}

}  // namespace

std::optional<ScheduleTimes> ReadScheduleTimes(const SettingValue& schedule,
                                               std::vector<ZoneToLookUp>* zones_later,
                                               std::chrono::sys_seconds now, std::string& problem) {
  ScheduleTimes times;
  std::vector<ZoneToLookUp> zone_now;
  std::vector<ZoneToLookUp>& zones = zones_later != nullptr ? *zones_later : zone_now;
  // Each is read and judged, whatever the others give.
  const bool clock = ReadClockTimes(schedule, times);
  const bool days = ReadDays(schedule, times);
  const bool steps = ReadSteps(schedule, times);
  const bool zone = ReadZone(schedule, times, zones);
  if (zone && days && schedule.Member("TimeZone").Present()) {
    zones.back().clock_times = ClockTimesOf(schedule);
    zones.back().on_day = times.on_day;
  }
  // An "At" time the clocks skip on one of its days in the coming year goes out at the
  // first minute after the gap that day; the administrator hears of it beforehand.
  for (ConfigCheck::Finding& found : LookUpZones(zone_now, now)) {
    schedule.Findings().AtValue(found.severity, std::move(found.pointer), std::move(found.message));
  }
  const bool any_day = std::ranges::find(times.on_day, true) != times.on_day.end();
  if (!clock || times.at_minutes.empty()) {
    problem = "it has no usable \"At\" clock time";
  } else if (!days || !any_day) {
    problem = "it has no usable day in \"Days\"";
  } else if (!steps || times.before_minutes.empty()) {
    problem = "it has no usable \"Before\" step";
  } else if (!zone) {
    problem = "its \"TimeZone\" is not a name";
  } else {
    return times;
  }
  return std::nullopt;
}

std::vector<ConfigCheck::Finding> LookUpZones(const std::vector<ZoneToLookUp>& zones,
                                              std::chrono::sys_seconds now) {
  std::vector<ConfigCheck::Finding> found;
  for (const ZoneToLookUp& zone : zones) {
    if (auto problem = ZoneProblem(zone.name)) {
      found.push_back({kError, zone.pointer, zone.line, zone.column, std::move(*problem)});
      continue;
    }
    const TimeZone* rules = FindTimeZone(zone.name);
    for (const ClockTimeToJudge& clock_time : zone.clock_times) {
      if (const auto skipped = SkippedDays(*rules, clock_time.minute, zone.on_day, now);
          !skipped.empty()) {
        found.push_back({kWarning, clock_time.pointer, clock_time.line, clock_time.column,
                         SkippedMessage(clock_time.text, zone.name, skipped)});
      }
    }
  }
  return found;
}

}  // namespace Bellwright
