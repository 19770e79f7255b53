#include "host_library/clock.hpp"

#include <algorithm>
#include <cctype>

#include "base/clock_ticks.hpp"

namespace Sandbox {

void Clock::UseVirtual(TimePoint start) {
  virtual_ = true;
  start_ = start;
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
  return Clock::TimePoint(std::chrono::sys_days(date)) + std::chrono::hours(hours) +
         std::chrono::minutes(minutes) + std::chrono::seconds(seconds);
}

Clock& TheClock() {
  static Clock clock;
  return clock;
}

}  // namespace Sandbox
