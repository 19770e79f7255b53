#include "host_library/clock.hpp"

#include <algorithm>
#include <cctype>

#include "base/clock_ticks.hpp"

namespace Sandbox {

namespace {

using Ticks100ns =
    std::chrono::duration<std::int64_t, std::ratio<1, Bellwright::kClockTicksPerSecond>>;

// The system clock counts nanoseconds in 64 bits, which hold the years 1678 to 2261; the
// range leaves decades of waiting on either side.
constexpr std::chrono::sys_days kEarliestDay{std::chrono::year{1900} / 1 / 1};
constexpr std::chrono::sys_days kDayAfterLatest{std::chrono::year{2200} / 1 / 1};

}  // namespace

void Clock::UseVirtual(TimePoint start) {
  virtual_ = true;
  start_ = start;
  virtual_elapsed_ = {};
  calendar_step_ = {};
}

void Clock::UseSystem() {
  virtual_ = false;
  start_ = std::chrono::system_clock::now();
  steady_start_ = std::chrono::steady_clock::now();
  virtual_elapsed_ = {};
  calendar_step_ = {};
}

void Clock::Advance(std::chrono::seconds step) {
  virtual_elapsed_ += step;
}

bool Clock::StepCalendar(std::chrono::seconds step) {
  // Compared in seconds first: a step beyond the range would overflow in nanoseconds.
  const std::chrono::seconds widest = kDayAfterLatest - kEarliestDay;
  if (step > widest || step < -widest || !InCalendarRange(Now() + step)) {
    return false;
  }
  calendar_step_ += step;
  return true;
}

std::chrono::steady_clock::duration Clock::Elapsed() const {
  if (virtual_) {
    return virtual_elapsed_;
  }
  return std::chrono::steady_clock::now() - steady_start_;
}

Clock::TimePoint Clock::Now() const {
  const TimePoint calendar =
      virtual_ ? start_ + virtual_elapsed_ : std::chrono::system_clock::now();
  return calendar + calendar_step_;
}

std::int64_t Clock::ElapsedSeconds() const {
  return std::chrono::duration_cast<std::chrono::seconds>(Elapsed()).count();
}

double Clock::GameSeconds() const {
  return std::chrono::duration<double>(Elapsed()).count();
}

std::int64_t Clock::Ticks() const {
  return std::chrono::duration_cast<Ticks100ns>(Now().time_since_epoch()).count();
}

std::int64_t Clock::SteadyTicks() const {
  return std::chrono::duration_cast<Ticks100ns>(Elapsed()).count();
}

std::string_view CalendarRangeText() {
  return "1900-01-01T00:00:00Z to 2199-12-31T23:59:59Z";
}

bool InCalendarRange(Clock::TimePoint instant) {
  return instant >= kEarliestDay && instant < kDayAfterLatest;
}

std::optional<Clock::TimePoint> ParseUtcInstant(std::string_view text) {
  constexpr std::string_view kPattern = "dddd-dd-ddTdd:dd:ddZ";
  const bool shaped =
      text.size() == kPattern.size() &&
      std::equal(kPattern.begin(), kPattern.end(), text.begin(), [](char want, char got) {
        return want == 'd' ? std::isdigit(static_cast<unsigned char>(got)) != 0 : want == got;
      });
  if (!shaped) {
    return std::nullopt;
  }
  const auto number = [text](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) {
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  const std::chrono::year_month_day date{std::chrono::year(number(0, 4)),
                                         std::chrono::month(static_cast<unsigned>(number(5, 2))),
                                         std::chrono::day(static_cast<unsigned>(number(8, 2)))};
  const int hours = number(11, 2);
  const int minutes = number(14, 2);
  const int seconds = number(17, 2);
  if (!date.ok() || hours > 23 || minutes > 59 || seconds > 59) {
    return std::nullopt;
  }
  const std::chrono::sys_days day(date);
  if (day < kEarliestDay || day >= kDayAfterLatest) {
    return std::nullopt;  // before the arithmetic below could overflow
  }
  return Clock::TimePoint(day) + std::chrono::hours(hours) + std::chrono::minutes(minutes) +
         std::chrono::seconds(seconds);
}

Clock& TheClock() {
  static Clock clock;
  return clock;
}

}  // namespace Sandbox
