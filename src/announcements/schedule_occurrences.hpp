#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

#include "base/time_zone.hpp"

namespace Bellwright {

// When a schedule's messages go out: each clock time on each listed day, in the zone's
// local time, and before it each countdown step.
struct ClockTimes {
  // Minutes after local midnight, in the configured order.
  std::vector<int> at_minutes;
  // Monday first; a clock time counts on the local day on which it falls.
  std::array<bool, 7> on_day{};
  const TimeZone* zone = nullptr;
  // Minutes before a clock time at which a message goes out; 0 is the time itself.
  std::vector<int> before_minutes;
};

// One message of a schedule.
struct Occurrence {
  std::chrono::sys_seconds instant;
  // Which of ClockTimes::at_minutes it counts down to.
  std::size_t at_index = 0;
  int minutes_left = 0;
};

// An occurrence goes out at the first timer call at or after its instant if that call is
// less late than this; one missed by more (the server stalled, the plug-in was not
// loaded) is not caught up.
inline constexpr std::chrono::seconds kLatestOccurrenceSend{60};

// The first occurrence at or after `not_before`, or none when the schedule has no time,
// day or step. Steps that fall on the same instant make one occurrence: the one with
// the fewest minutes left, then the earliest clock time in the configured order.
std::optional<Occurrence> FirstOccurrenceFrom(const ClockTimes& times,
                                              std::chrono::sys_seconds not_before);

// Hands out each occurrence once, at the first timer call at or after its instant. The
// next occurrence is kept, so the zone's rules are consulted only when one is used.
class OccurrenceCursor {
 public:
  // The first occurrence is the first at or after `start`.
  OccurrenceCursor(ClockTimes times, std::chrono::sys_seconds start);

  // The occurrence due at `now`, once; none when nothing is due.
  std::optional<Occurrence> TakeDue(std::chrono::sys_seconds now);

  [[nodiscard]] const std::optional<Occurrence>& Next() const { return next_; }
  [[nodiscard]] const ClockTimes& Times() const { return times_; }

 private:
  ClockTimes times_;
  std::optional<Occurrence> next_;
};

}  // namespace Bellwright
