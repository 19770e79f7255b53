#pragma once

#include <optional>
#include <string>
#include <string_view>

// How a schedule's clock times, days and countdown steps are written, shared by the
// plug-in's reading and the configuration checks so that both take the same entries.
namespace Bellwright {

// The key under which the names of announcement lists and schedules (UTF-8) that are
// equal ignoring letter case are one, folded as the engine compares text.
std::string AnnouncementNameKey(std::string_view name);

// Whether what an administrator typed names `name`: equal ignoring letter case.
[[nodiscard]] bool SameAnnouncementName(std::string_view typed, std::string_view name);

// "06:00" as 360: exactly two digits, a colon and two digits, 00:00 to 23:59. Any other
// form ("6:00", "24:00", "06:00:00") is nothing.
std::optional<int> MinuteOfDayFromText(std::string_view text);

// "Mon" … "Sun", written exactly so, as 0 (Monday) … 6 (Sunday).
std::optional<int> WeekdayFromName(std::string_view name);

// The longest countdown step, a year: far beyond any restart warning.
inline constexpr int kLongestStepMinutes = 366 * 24 * 60;

// A countdown step: whole minutes from 0 to kLongestStepMinutes (5.0 is whole).
std::optional<int> StepMinutesFromNumber(double number);

}  // namespace Bellwright
