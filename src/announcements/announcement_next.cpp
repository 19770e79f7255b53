#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "announcements/announcement_lists.hpp"
#include "announcements/announcement_names.hpp"
#include "announcements/announcement_pauses.hpp"
#include "announcements/announcements.hpp"
#include "announcements/schedules.hpp"
#include "announcements/timed_messages.hpp"
#include "base/calendar_text.hpp"
#include "base/clock_ticks.hpp"
#include "base/time_zone.hpp"
#include "config/config.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// A reply stays readable in a console and in one RCON answer.
constexpr std::size_t kMostLines = 50;

struct Upcoming {
  std::chrono::sys_seconds at;
  std::string line;
};

std::string UtcText(std::chrono::sys_seconds at) {
  return CalendarSecondTextUtc(at);
}

// Paused at `at`: by a pause without an end, or one that ends later.
std::string_view PausedAt(std::string_view name, std::chrono::sys_seconds at) {
  if (!IsAnnouncementPaused(name)) {
    return "";
  }
  const auto until = AnnouncementPausedUntil(name);
  return !until || CalendarSecond(*until) > at ? " (paused)" : "";
}

// The turns of a list from its due time on, one interval apart.
void AddTurns(std::string_view name, std::string_view what, std::int64_t due_ticks,
              long long interval_seconds, bool first_skipped, std::chrono::sys_seconds until,
              std::vector<Upcoming>& upcoming) {
  auto at = CalendarSecond(due_ticks);
  const std::chrono::seconds interval{std::max(1LL, interval_seconds)};
  for (std::size_t turn = 0; at <= until && turn <= kMostLines; ++turn, at += interval) {
    upcoming.push_back(
        {at, fmt::format("{}: {} ({}){}{}", UtcText(at), name, what,
                         turn == 0 && first_skipped ? " (skipped)" : "", PausedAt(name, at))});
  }
}

void AddTimedTurns(std::int64_t now_ticks, std::chrono::sys_seconds until,
                   std::vector<Upcoming>& upcoming) {
  const TimedMessageSettings& timed = LiveSettings().announcements.timed;
  if (!timed.enabled || timed.list.messages.empty()) {
    return;
  }
  const std::int64_t due = now_ticks + SecondsToNextTimedMessage() * kClockTicksPerSecond;
  AddTurns(kTimedName, "timed messages", due, static_cast<long long>(timed.interval_seconds),
           IsNextTimedMessageSkipped(), until, upcoming);
}

void AddOccurrences(const ClockScheduleState& schedule, std::chrono::sys_seconds until,
                    std::vector<Upcoming>& upcoming) {
  if (schedule.zone == nullptr) {
    return;
  }
  for (const ScheduledMessage& message :
       UpcomingClockMessages(schedule.name, until, kMostLines + 1)) {
    const std::string step =
        message.minutes_left == 0
            ? fmt::format("at {}", message.at_text)
            : fmt::format("{} {} before {}", message.minutes_left,
                          message.minutes_left == 1 ? "minute" : "minutes", message.at_text);
    const bool skipped =
        schedule.skipped_clock_time && message.clock_time == *schedule.skipped_clock_time;
    upcoming.push_back(
        {message.instant,
         fmt::format("{} = {} {}: {} ({}){}{}", UtcText(message.instant),
                     CalendarMinuteText(LocalTime(*schedule.zone, message.instant)),
                     schedule.zone_name, schedule.name, step, skipped ? " (skipped)" : "",
                     PausedAt(schedule.name, message.instant))});
  }
}

}  // namespace

CommandOutcome NextAnnouncements(int hours) {
  const std::int64_t now_ticks = AsaApi::Tools::GetSystemClockTicks();
  const std::chrono::sys_seconds until = CalendarSecond(now_ticks) + std::chrono::hours{hours};
  std::vector<Upcoming> upcoming;
  AddTimedTurns(now_ticks, until, upcoming);
  // A list's turns are kept on the steady clock: its calendar moment is as far from now.
  const std::int64_t steady_now = AsaApi::Tools::GetSteadyClockTicks();
  for (const AnnouncementListState& list : RunningAnnouncementLists()) {
    const std::int64_t due = now_ticks + list.due_ticks.value_or(steady_now) - steady_now;
    AddTurns(list.name, "list", due, list.interval_seconds, list.next_turn_skipped, until,
             upcoming);
  }
  for (const ClockScheduleState& schedule : RunningClockSchedules()) {
    AddOccurrences(schedule, until, upcoming);
  }
  // Same-second messages go out in the order the timer call sends them, the order added.
  std::ranges::stable_sort(upcoming, {}, &Upcoming::at);
  std::vector<std::string> lines;
  const std::size_t shown = std::min(upcoming.size(), kMostLines);
  lines.push_back(upcoming.empty() ? fmt::format("Nothing goes out within {} {}", hours,
                                                 hours == 1 ? "hour" : "hours")
                  : upcoming.size() > kMostLines
                      ? fmt::format("Within {} {}, the first {} messages:", hours,
                                    hours == 1 ? "hour" : "hours", shown)
                      : fmt::format("Within {} {}, {} {}:", hours, hours == 1 ? "hour" : "hours",
                                    shown, shown == 1 ? "message" : "messages"));
  for (std::size_t index = 0; index < shown; ++index) {
    lines.push_back(std::move(upcoming[index].line));
  }
  return {true, std::move(lines)};
}

}  // namespace Bellwright
