#include "base/time_zone.hpp"

#include <exception>
#include <string>

// The standard library's zones where it has them (MSVC); elsewhere the same interface
// from the date library over the system's tzdata. A Windows toolchain with neither
// (mingw-w64's library) knows UTC only.
#if defined(__cpp_lib_chrono) && __cpp_lib_chrono >= 201907L
#define BELLWRIGHT_ZONE_DATABASE 1
namespace zones = std::chrono;
#elif !defined(_WIN32)
#define BELLWRIGHT_ZONE_DATABASE 1
#include <date/tz.h>
namespace zones = date;
#endif

namespace Bellwright {

#if defined(BELLWRIGHT_ZONE_DATABASE)

namespace {

// TimeZone is only ever a name for the database's own zone object.
const zones::time_zone& Rules(const TimeZone& zone) {
  return *reinterpret_cast<const zones::time_zone*>(&zone);
}

}  // namespace

const TimeZone* FindTimeZone(std::string_view name) noexcept {
  try {
    // The database hands out zones that live as long as the process: the pointer
    // stays good across reloads.
    return reinterpret_cast<const TimeZone*>(zones::locate_zone(std::string(name)));
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::chrono::local_days LocalDay(const TimeZone& zone, std::chrono::sys_seconds instant) {
  const auto local = Rules(zone).to_local(instant);
  return std::chrono::local_days(std::chrono::floor<std::chrono::days>(local).time_since_epoch());
}

std::chrono::local_seconds LocalTime(const TimeZone& zone, std::chrono::sys_seconds instant) {
  return std::chrono::local_seconds(Rules(zone).to_local(instant).time_since_epoch());
}

std::chrono::sys_seconds InstantOfLocalTime(const TimeZone& zone,
                                            std::chrono::local_seconds local) {
  const zones::local_seconds wall(local.time_since_epoch());
  const auto info = Rules(zone).get_info(wall);
  if (info.result == zones::local_info::nonexistent) {
    return std::chrono::sys_seconds(info.second.begin.time_since_epoch());
  }
  // Unique or ambiguous: the first interpretation is the earlier instant.
  return std::chrono::sys_seconds((wall - info.first.offset).time_since_epoch());
}

#else

namespace {

// Stands for UTC, the one zone known without a database.
const char kUtc = 0;

}  // namespace

const TimeZone* FindTimeZone(std::string_view name) noexcept {
  return name == "UTC" || name == "Etc/UTC" ? reinterpret_cast<const TimeZone*>(&kUtc) : nullptr;
}

std::chrono::local_days LocalDay(const TimeZone&, std::chrono::sys_seconds instant) {
  return std::chrono::local_days(std::chrono::floor<std::chrono::days>(instant).time_since_epoch());
}

std::chrono::local_seconds LocalTime(const TimeZone&, std::chrono::sys_seconds instant) {
  return std::chrono::local_seconds(instant.time_since_epoch());
}

std::chrono::sys_seconds InstantOfLocalTime(const TimeZone&, std::chrono::local_seconds local) {
  return std::chrono::sys_seconds(local.time_since_epoch());
}

#endif

}  // namespace Bellwright
