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

// What bw.status, bw.preview and bw.pause see of a schedule that runs.
struct ClockScheduleState {
  std::string name;
  std::string zone_name;
  const TimeZone* zone = nullptr;
  std::optional<std::chrono::sys_seconds> next;
  const MessageEntry* message = nullptr;
  // Fills {Minutes} and {Time} as at the first step before the next clock time (the
  // first clock time when none comes).
  TextFill preview_fill;
};
std::vector<ClockScheduleState> RunningClockSchedules();
// The schedule that runs under this name key (AnnouncementNameKey), if any.
std::optional<ClockScheduleState> FindClockSchedule(std::string_view name_key);

}  // namespace Bellwright
