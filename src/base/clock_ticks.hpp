#pragma once

#include <cstdint>

namespace Bellwright {

// The host's clock counts ticks of 100 ns since 1970.
inline constexpr std::int64_t kClockTicksPerSecond = 10'000'000;

// About three centuries: far beyond any sensible interval or cooldown, and a tick
// count that far ahead stays well inside the clock's 64 bits.
inline constexpr double kLongestConfiguredSeconds = 1e10;

}  // namespace Bellwright
