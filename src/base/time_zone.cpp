#include "base/time_zone.hpp"

#include <exception>
#include <string>

// The standard library's zones where it has them (MSVC); elsewhere the same interface
// from the date library over the system's tzdata.
#if defined(__cpp_lib_chrono) && __cpp_lib_chrono >= 201907L
namespace zones = std::chrono;
#else
#include <date/tz.h>
namespace zones = date;
#endif

namespace Bellwright {

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

}  // namespace Bellwright
