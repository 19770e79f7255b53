#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How a schedule's clock times, days and countdown steps are written, shared by the
// plug-in's reading and the configuration checks so that both take the same entries.
namespace Bellwright {

// The key under which the names of announcement lists and schedules (UTF-8) that are
// equal ignoring letter case are one, folded as the engine compares text.
std::string AnnouncementNameKey(std::string_view name);

// Words that bw.pause, bw.resume and bw.preview read as names of their own: "timed" is
// TimedMessages, "all" every list and schedule, "welcome" and "firstjoin" the greetings.
inline constexpr std::string_view kTimedName = "timed";
inline constexpr std::string_view kAllName = "all";
inline constexpr std::string_view kWelcomeName = "welcome";
inline constexpr std::string_view kFirstJoinName = "firstjoin";

// Why a list or schedule cannot take `name`, though it is text and not empty.
enum class NameRefusal {
  kNone,
  // One of the words above, ignoring letter case: the list could never be named alone.
  kReserved,
  // A control character (U+0000 to U+001F, U+007F to U+009F) would break the line of a
  // reply that names it.
  kControlCharacter,
};
NameRefusal RefuseAnnouncementName(std::string_view name);

// "06:00" as 360: exactly two digits, a colon and two digits, 00:00 to 23:59. Any other
// form ("6:00", "24:00", "06:00:00") is nothing.
std::optional<int> MinuteOfDayFromText(std::string_view text);

// "Mon" … "Sun", written exactly so, as 0 (Monday) … 6 (Sunday).
std::optional<int> WeekdayFromName(std::string_view name);

// What keeps a reload and a timer call short whatever a file holds: the announcement
// lists and schedules after the first kMostAnnouncementLists and kMostSchedules do not
// run, and a schedule uses its first kMostClockTimes clock times and kMostCountdownSteps
// steps, skipping those after: a clock time for every five minutes of the day, a
// countdown step for every minute of the last hour. With them all, a reload stays far
// below 50 ms and a timer call below 1 ms (bench/schedules_bench.cpp).
inline constexpr std::size_t kMostAnnouncementLists = 100;
inline constexpr std::size_t kMostSchedules = 100;
inline constexpr std::size_t kMostClockTimes = 288;
inline constexpr std::size_t kMostCountdownSteps = 60;

// The longest countdown step, a year: far beyond any restart warning.
inline constexpr int kLongestStepMinutes = 366 * 24 * 60;

// A countdown step: whole minutes from 0 to kLongestStepMinutes (5.0 is whole).
std::optional<int> StepMinutesFromNumber(double number);

}  // namespace Bellwright
