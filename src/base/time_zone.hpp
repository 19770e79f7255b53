#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace Bellwright {

// A zone of the IANA time-zone database, with its daylight-saving rules. The rules come
// from the database, never from the plug-in.
class TimeZone;

// The zone named exactly `name` ("Europe/Berlin", "UTC"), or null when the database
// has no such zone or cannot be read. The first call reads the database's index.
// Without the database, "UTC" and "Etc/UTC" are still found.
const TimeZone* FindTimeZone(std::string_view name) noexcept;

// Why the database cannot be read (it is missing, or unreadable), or empty when it
// can: a zone that is not found is then unknown rather than unreachable.
std::string TimeZoneDatabaseProblem() noexcept;

// The local calendar day in `zone` at `instant`.
std::chrono::local_days LocalDay(const TimeZone& zone, std::chrono::sys_seconds instant);

// What the clocks of `zone` show at `instant`.
std::chrono::local_seconds LocalTime(const TimeZone& zone, std::chrono::sys_seconds instant);

// The instant at which the clocks of `zone` show `local`. A time the clocks skip (they
// go forward) is taken as the end of the gap, the first minute after it; a time they
// show twice (they go back) as the first of the two.
std::chrono::sys_seconds InstantOfLocalTime(const TimeZone& zone, std::chrono::local_seconds local);

// The zone's offset from UTC (local minus UTC) when it holds all through the local
// `day`; none on a day the clocks change, whose times need InstantOfLocalTime each.
std::optional<std::chrono::seconds> OffsetAllDay(const TimeZone& zone, std::chrono::local_days day);

}  // namespace Bellwright
