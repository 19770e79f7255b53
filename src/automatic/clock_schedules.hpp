#pragma once

#include <chrono>
#include <vector>

#include "config/announcement_settings.hpp"

namespace Bellwright {

// The schedules that run, each with its next occurrence. At the load, occurrences from
// `now` on count; at a reload, those after the last timer call, so that a reload never
// sends one again.
void ConfigureClockSchedules(const std::vector<ScheduleSettings>& schedules,
                             std::chrono::sys_seconds now);

// Every schedule with an occurrence due sends its message, in the configured order.
void SendDueClockSchedules(std::chrono::sys_seconds now);

void StopClockSchedules();

}  // namespace Bellwright
