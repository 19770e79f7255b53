#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace Sandbox {

// The one clock of the sandbox: the host's system clock, the game clock and the
// transcript's `t`. Scripts run on a virtual clock so their transcripts repeat exactly.
class Clock {
 public:
  using TimePoint = std::chrono::system_clock::time_point;

  // 2026-01-01 00:00:00 UTC, where a script starts unless told otherwise.
  static constexpr std::int64_t kScriptEpochSeconds = 1767225600;

  // Virtual: starts at `start` and moves only by Advance.
  void UseVirtual(TimePoint start = TimePoint(std::chrono::seconds(kScriptEpochSeconds)));
  // System: the real clock; `t` counts from this call.
  void UseSystem();
  void Advance(std::chrono::seconds step);

  [[nodiscard]] bool IsVirtual() const { return virtual_; }
  [[nodiscard]] TimePoint Now() const;
  // Whole seconds since the start (the transcript's `t`).
  [[nodiscard]] std::int64_t ElapsedSeconds() const;
  // The game's clock in seconds, as the game's time fields hold it.
  [[nodiscard]] double GameSeconds() const;
  // 100-nanosecond ticks since 1970-01-01 00:00 UTC.
  [[nodiscard]] std::int64_t Ticks() const;

 private:
  bool virtual_ = true;
  TimePoint start_ = TimePoint(std::chrono::seconds(kScriptEpochSeconds));
  std::chrono::system_clock::duration virtual_elapsed_{};
};

Clock& TheClock();

// "2026-03-29T00:59:30Z", written exactly so (a real date, a time of day before 24:00,
// UTC), as the instant it names; nothing for anything else.
std::optional<Clock::TimePoint> ParseUtcInstant(std::string_view text);

}  // namespace Sandbox
