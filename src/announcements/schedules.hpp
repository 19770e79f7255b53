#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "announcements/message_turns.hpp"
#include "base/time_zone.hpp"
#include "config/announcement_settings.hpp"

namespace Bellwright {

// When the schedules' zones are looked up: the start runs under the loader lock, where
// the zone database, which may load a library, must not be read; the first timer call
// or command that needs the schedules looks them up instead.
enum class ZoneLookup { kNow, kAtTheFirstTimerCall };

// The schedules that run, each with its next occurrence. At the load, occurrences from
// `now` on count; at a reload, those after the last timer call, so that a reload never
// sends one again.
void ConfigureClockSchedules(const std::vector<ScheduleSettings>& schedules,
                             std::chrono::sys_seconds now, ZoneLookup zones);

// Every schedule with an occurrence due sends its message, in the configured order.
void SendDueClockSchedules(std::chrono::sys_seconds now);

void StopClockSchedules();

// bw.skip: the next occurrence of the running schedule `name` (as it runs) passes unsent
// with every step that counts down to its clock time. The clock time skipped, as an
// instant; none when no such schedule runs or nothing more is to come.
std::optional<std::chrono::sys_seconds> SkipNextClockOccurrence(std::string_view name);

// What bw.status, bw.preview and bw.pause see of a schedule that runs.
struct ClockScheduleState {
  std::string name;
  std::string zone_name;
  const TimeZone* zone = nullptr;
  std::optional<std::chrono::sys_seconds> next{};
  // Each step, the earliest first, with its message and {Minutes} and {Time} filled as
  // before the next clock time (the first clock time when none comes).
  struct Step {
    int minutes = 0;
    const MessageEntry* message = nullptr;
    TextFill fill;
  };
  std::vector<Step> steps;
  // The clock time of the next occurrence, and its minutes before it.
  std::optional<std::chrono::sys_seconds> next_clock_time{};
  int next_minutes_left = 0;
  std::string next_at_text{};
  // The clock time bw.skip skipped, if it is still to come.
  std::optional<std::chrono::sys_seconds> skipped_clock_time{};
};
std::vector<ClockScheduleState> RunningClockSchedules();
// The schedule that runs under this name key (AnnouncementNameKey), if any.
std::optional<ClockScheduleState> FindClockSchedule(std::string_view name_key);

// The messages the running schedule `name` sends from its next one up to `until`, at
// most `most`, in order.
struct ScheduledMessage {
  std::chrono::sys_seconds instant;
  std::chrono::sys_seconds clock_time;
  int minutes_left = 0;
  std::string at_text;
};
std::vector<ScheduledMessage> UpcomingClockMessages(std::string_view name,
                                                    std::chrono::sys_seconds until,
                                                    std::size_t most);

}  // namespace Bellwright
