#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/time_zone.hpp"
#include "config/setting_reader.hpp"

namespace Bellwright {

// When a schedule's message goes out: its usable clock times, days, zone and countdown
// steps.
struct ScheduleTimes {
  // As written, and in minutes after local midnight.
  std::vector<std::string> at_texts;
  std::vector<int> at_minutes;
  std::array<bool, 7> on_day{};  // Monday first
  const TimeZone* zone = nullptr;
  std::string zone_name = "UTC";
  // Minutes before a clock time at which the message goes out; 0 is the time itself.
  std::vector<int> before_minutes;

  friend bool operator==(const ScheduleTimes&, const ScheduleTimes&) = default;
};

// The times of `schedule`, each entry that cannot be used skipped with a word; none when
// the schedule cannot run (no clock time, day or step is left, or the zone is unknown).
std::optional<ScheduleTimes> ReadScheduleTimes(const SettingValue& schedule);

}  // namespace Bellwright
