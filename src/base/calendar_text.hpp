#pragma once

#include <chrono>
#include <string>

namespace Bellwright {

// "2026-03-29 06:00": a day and a time of day, as administrators read them in replies.
std::string CalendarMinuteText(std::chrono::local_seconds time);
// "2026-03-29 06:00:15 UTC".
std::string CalendarSecondTextUtc(std::chrono::sys_seconds time);

}  // namespace Bellwright
