#include "config/schedule_times.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <limits>

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

bool ReadSteps(const SettingValue& schedule, ScheduleTimes& times) {
  const SettingValue before = schedule.Member("Before");
  if (!before.Present()) {
    times.before_minutes = {0};
  }
  return ReadEntries(
      before, JsonKind::kNumberArray, "no countdown step", {kMostCountdownSteps, "countdown steps"},
      [&times](const SettingValue& entry, bool room) {
        if (!entry.Judge(JsonKind::kNumber, {kWarning, "this step is skipped", kNumbersOnly})) {
          return false;
        }
        const auto minutes = StepMinutesFromNumber(entry.Json()->get<double>());
        if (minutes) {
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

bool ReadZone(const SettingValue& schedule, ScheduleTimes& times,
              std::vector<ZoneToLookUp>* zones_later) {
  const SettingValue zone = schedule.Member("TimeZone");
  if (!zone.Present()) {
    return true;
  }
  if (!zone.Judge(JsonKind::kString, {kError, kStopped})) {
    return false;
  }
  times.zone_name = zone.Json()->get<std::string>();
  if (zones_later != nullptr) {
    const ConfigCheck::PositionIndex& index = zone.Findings().Index();
    const std::optional<ConfigCheck::ValuePlace> place = index.Find(zone.Pointer());
    const ConfigCheck::LineColumn at = index.Locate(place ? place->value_offset : 0);
    zones_later->push_back({times.zone_name, zone.Pointer(), at.line, at.column});
  } else if (auto problem = ZoneProblem(times.zone_name)) {
    zone.AtValue(kError, std::move(*problem));
  }
  return true;
}

}  // namespace

std::optional<ScheduleTimes> ReadScheduleTimes(const SettingValue& schedule,
                                               std::vector<ZoneToLookUp>* zones_later) {
  ScheduleTimes times;
  // Each is read and judged, whatever the others give.
  const bool clock = ReadClockTimes(schedule, times);
  const bool days = ReadDays(schedule, times);
  const bool steps = ReadSteps(schedule, times);
  const bool zone = ReadZone(schedule, times, zones_later);
  const bool any_day = std::ranges::find(times.on_day, true) != times.on_day.end();
  if (!clock || !days || !steps || !zone || times.at_minutes.empty() ||
      times.before_minutes.empty() || !any_day) {
    return std::nullopt;
  }
  return times;
}

std::vector<ConfigCheck::Finding> LookUpZones(const std::vector<ZoneToLookUp>& zones) {
  std::vector<ConfigCheck::Finding> found;
  for (const ZoneToLookUp& zone : zones) {
    if (auto problem = ZoneProblem(zone.name)) {
      found.push_back({kError, zone.pointer, zone.line, zone.column, std::move(*problem)});
    }
  }
  return found;
}

}  // namespace Bellwright
