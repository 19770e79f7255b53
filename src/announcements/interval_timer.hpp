#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "base/clock_ticks.hpp"

namespace Bellwright {

// Clock ticks of an interval in seconds, held to about three centuries either way so
// that a due time stays inside the clock's 64 bits.
constexpr std::int64_t IntervalTicks(double seconds) {
  const double bounded = std::clamp(seconds, -kLongestConfiguredSeconds, kLongestConfiguredSeconds);
  return static_cast<std::int64_t>(bounded) * kClockTicksPerSecond;
}

// The clock of something that takes a turn at an interval (the timed messages, an
// announcement list): a turn comes at the first timer call at or after its due time,
// and the next is due one interval after that call. Its ticks are the host's steady
// clock: an interval is a duration, so a calendar clock set back or forward neither
// silences the turns nor hurries them.
class IntervalTimer {
 public:
  constexpr IntervalTimer() = default;
  constexpr explicit IntervalTimer(std::int64_t due_ticks) : due_ticks_(due_ticks) {}

  // Whether a turn is due at `now_ticks`. The next turn is set before this one is built,
  // so a turn that cannot send still uses up its interval.
  constexpr bool TakeTurn(std::int64_t now_ticks, std::int64_t interval_ticks) {
    if (due_ticks_ && now_ticks < *due_ticks_) {
      return false;
    }
    due_ticks_ = now_ticks + interval_ticks;
    return true;
  }

  // When the next turn is due; none when it comes at the next call.
  [[nodiscard]] constexpr std::optional<std::int64_t> DueTicks() const { return due_ticks_; }

  // Whole seconds until the next turn; 0 when it comes at the next call.
  [[nodiscard]] constexpr long long SecondsUntilDue(std::int64_t now_ticks) const {
    return due_ticks_ ? WholeSecondsUntil(*due_ticks_, now_ticks) : 0;
  }

 private:
  // None: the first call after a start is due at once, whatever the steady clock's start.
  std::optional<std::int64_t> due_ticks_;
};

}  // namespace Bellwright
