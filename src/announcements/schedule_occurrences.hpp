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

// Hands out each occurrence once, at the first timer call at or after its instant. Each
// countdown step keeps the clock time it counts down to, so handing out an occurrence
// moves on only the steps that fell on it, and the zone's rules are consulted once for
// a local day: its cost follows the steps, not the clock times or the days between.
class OccurrenceCursor {
 public:
  // The first occurrence is the first at or after `start`.
  OccurrenceCursor(ClockTimes times, std::chrono::sys_seconds start);

  // The occurrence due at `now`, once; none when nothing is due.
  std::optional<Occurrence> TakeDue(std::chrono::sys_seconds now);

  [[nodiscard]] const std::optional<Occurrence>& Next() const { return next_; }
  [[nodiscard]] const ClockTimes& Times() const { return times_; }

 private:
  // A clock time on a local day, in the order of the instants they fall on.
  struct Place {
    std::chrono::local_days day;
    std::size_t slot = 0;  // into sorted_minutes_; the last of those on this instant
    std::chrono::sys_seconds instant;
    std::size_t at_index = 0;  // the first in the configured order on this instant
  };
  struct Step {
    int minutes = 0;
    std::optional<Place> counts_down_to;  // the first clock time it has not passed
  };

  void StartFrom(std::chrono::sys_seconds not_before);
  void ChooseNext();
  [[nodiscard]] bool OnListedDay(std::chrono::local_days day) const;
  [[nodiscard]] std::chrono::sys_seconds InstantOf(std::chrono::local_days day,
                                                   std::size_t slot) const;
  [[nodiscard]] Place Settle(std::chrono::local_days day, std::size_t slot) const;
  [[nodiscard]] std::optional<Place> FirstAtOrAfter(std::chrono::sys_seconds instant) const;
  [[nodiscard]] std::optional<Place> After(const Place& place) const;

  ClockTimes times_;
  // The clock times sorted, each minute once, with its first index in the configured order.
  std::vector<int> sorted_minutes_;
  std::vector<std::size_t> first_index_;
  std::vector<Step> steps_;
  std::optional<Occurrence> next_;
  // The last day whose offset from UTC was asked, since steps mostly stay on one day.
  mutable std::optional<std::chrono::local_days> offset_day_;
  mutable std::optional<std::chrono::seconds> offset_;
};

}  // namespace Bellwright
