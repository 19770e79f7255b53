#pragma once

#include <chrono>
#include <cstdint>

namespace Bellwright {

// The host's clock counts ticks of 100 ns since 1970.
inline constexpr std::int64_t kClockTicksPerSecond = 10'000'000;

// About three centuries: far beyond any sensible interval or cooldown, and a tick
// count that far ahead stays well inside the clock's 64 bits.
inline constexpr double kLongestConfiguredSeconds = 1e10;

// The calendar second a tick count falls in (floored, also before 1970).
constexpr std::chrono::sys_seconds CalendarSecond(std::int64_t ticks) {
  const std::int64_t seconds = ticks / kClockTicksPerSecond - (ticks % kClockTicksPerSecond < 0);
  return std::chrono::sys_seconds(std::chrono::seconds(seconds));
}

// Whole seconds from `now_ticks` to `due_ticks`, rounded up: a turn 0.5 s away has not
// come yet.
constexpr long long WholeSecondsUntil(std::int64_t due_ticks, std::int64_t now_ticks) {
  const std::int64_t left = due_ticks - now_ticks;
  return left <= 0 ? 0 : (left + kClockTicksPerSecond - 1) / kClockTicksPerSecond;
}

}  // namespace Bellwright
