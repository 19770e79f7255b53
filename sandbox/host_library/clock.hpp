#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace Sandbox {

// The sandbox's two clocks. The calendar clock is what the host calls the system clock:
// the time of day and the date, which an administrator or a time service may set. The
// steady clock only ever moves forward; it gives the game clock, the delayed tasks and
// the transcript's `t`. Scripts run both on virtual time so their transcripts repeat
// exactly.
class Clock {
 public:
  using TimePoint = std::chrono::system_clock::time_point;

  // 2026-01-01 00:00:00 UTC, where a script starts unless told otherwise.
  static constexpr std::int64_t kScriptEpochSeconds = 1767225600;

  // Virtual: starts at `start` and moves only by Advance and StepCalendar.
  void UseVirtual(TimePoint start = TimePoint(std::chrono::seconds(kScriptEpochSeconds)));
  // System: the real clocks; `t` counts from this call.
  void UseSystem();
  // Both clocks move on.
  void Advance(std::chrono::seconds step);
  // The calendar clock alone is set forward or back; false, and nothing changes, when
  // that would leave the instants the sandbox can hold (CalendarRangeText).
  [[nodiscard]] bool StepCalendar(std::chrono::seconds step);

  [[nodiscard]] bool IsVirtual() const { return virtual_; }
  // The calendar clock.
  [[nodiscard]] TimePoint Now() const;
  // Whole seconds on the steady clock since the start (the transcript's `t`).
  [[nodiscard]] std::int64_t ElapsedSeconds() const;
  // The game's clock in seconds, as the game's time fields hold it.
  [[nodiscard]] double GameSeconds() const;
  // The calendar clock in 100-nanosecond ticks since 1970-01-01 00:00 UTC.
  [[nodiscard]] std::int64_t Ticks() const;
  // The steady clock in 100-nanosecond ticks since the start.
  [[nodiscard]] std::int64_t SteadyTicks() const;

 private:
  [[nodiscard]] std::chrono::steady_clock::duration Elapsed() const;

  bool virtual_ = true;
  TimePoint start_ = TimePoint(std::chrono::seconds(kScriptEpochSeconds));
  std::chrono::steady_clock::time_point steady_start_;
  std::chrono::seconds virtual_elapsed_{};
  // How far the calendar clock was set away from where the steady clock would put it.
  std::chrono::seconds calendar_step_{};
};

Clock& TheClock();

// The calendar instants the sandbox holds: the system clock's own range, less room for a
// script's waits ("1900-01-01T00:00:00Z to 2199-12-31T23:59:59Z").
std::string_view CalendarRangeText();
bool InCalendarRange(Clock::TimePoint instant);

// "2026-03-29T00:59:30Z", written exactly so (a real date, a time of day before 24:00,
// UTC, inside CalendarRangeText), as the instant it names; nothing for anything else.
std::optional<Clock::TimePoint> ParseUtcInstant(std::string_view text);

}  // namespace Sandbox
