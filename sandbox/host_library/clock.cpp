#include "host_library/clock.hpp"

#include "base/clock_ticks.hpp"

namespace Sandbox {

void Clock::UseVirtual() {
  virtual_ = true;
  start_ = TimePoint(std::chrono::seconds(kScriptEpochSeconds));
  virtual_elapsed_ = {};
}

void Clock::UseSystem() {
  virtual_ = false;
  start_ = std::chrono::system_clock::now();
  virtual_elapsed_ = {};
}

void Clock::Advance(std::chrono::seconds step) {
  virtual_elapsed_ += step;
}

Clock::TimePoint Clock::Now() const {
  return virtual_ ? start_ + virtual_elapsed_ : std::chrono::system_clock::now();
}

std::int64_t Clock::ElapsedSeconds() const {
  return std::chrono::duration_cast<std::chrono::seconds>(Now() - start_).count();
}

double Clock::GameSeconds() const {
  return std::chrono::duration<double>(Now() - start_).count();
}

std::int64_t Clock::Ticks() const {
  using Ticks100ns =
      std::chrono::duration<std::int64_t, std::ratio<1, Bellwright::kClockTicksPerSecond>>;
  return std::chrono::duration_cast<Ticks100ns>(Now().time_since_epoch()).count();
}

Clock& TheClock() {
  static Clock clock;
  return clock;
}

}  // namespace Sandbox
