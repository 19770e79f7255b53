#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "config/setting_reader.hpp"

namespace Bellwright {

// When a schedule's message goes out: its usable clock times, days, zone and countdown
// steps.
struct ScheduleTimes {
  // As written, and in minutes after local midnight.
  std::vector<std::string> at_texts;
  std::vector<int> at_minutes;
  std::array<bool, 7> on_day{};  // Monday first
  // Looked up in the time-zone database by the schedule's owner, when it may be read.
  std::string zone_name = "UTC";
  // Minutes before a clock time at which the message goes out; 0 is the time itself.
  std::vector<int> before_minutes;

  friend bool operator==(const ScheduleTimes&, const ScheduleTimes&) = default;
};

// Whether the schedules' zones are looked up with the other checks, or at the first
// timer call: the plug-in's start runs under the loader lock, where the zone database,
// which may load a library, must not be read.
enum class ZoneChecks { kWithTheOthers, kAtTheFirstTimerCall };

// A schedule's zone left to be looked up later: its name and where it stands.
struct ZoneToLookUp {
  std::string name;
  std::string pointer;
  int line = 0;
  int column = 0;

  friend bool operator==(const ZoneToLookUp&, const ZoneToLookUp&) = default;
};

// The times of `schedule`, each entry that cannot be used skipped with a word, and the
// entries past the limits of base/schedule_fields.hpp with one; none when the schedule
// cannot run (no clock time, day or step is left). The zone is judged against the
// database unless `zones_later` is given: it is then added there, for LookUpZones. A
// zone the database does not know stops its schedule where the schedule is built.
std::optional<ScheduleTimes> ReadScheduleTimes(const SettingValue& schedule,
                                               std::vector<ZoneToLookUp>* zones_later);

// The findings about zones left for later: those the database does not know, or all
// when it cannot be read.
std::vector<ConfigCheck::Finding> LookUpZones(const std::vector<ZoneToLookUp>& zones);

}  // namespace Bellwright
