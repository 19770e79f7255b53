#include "base/calendar_text.hpp"

#include <fmt/format.h>

namespace Bellwright {
namespace {

std::string CalendarText(std::chrono::local_seconds time, bool with_seconds) {
  const std::chrono::local_days day_start = std::chrono::floor<std::chrono::days>(time);
  const std::chrono::year_month_day day{day_start};
  const std::chrono::hh_mm_ss clock{time - day_start};
  std::string text =
      fmt::format("{:04}-{:02}-{:02} {:02}:{:02}", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()),
                  clock.hours().count(), clock.minutes().count());
  if (with_seconds) {
    text += fmt::format(":{:02}", clock.seconds().count());
  }
  return text;
}

}  // namespace

std::string CalendarMinuteText(std::chrono::local_seconds time) {
  return CalendarText(time, false);
}

std::string CalendarSecondTextUtc(std::chrono::sys_seconds time) {
  return CalendarText(std::chrono::local_seconds(time.time_since_epoch()), true) + " UTC";
}

}  // namespace Bellwright
