#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/schedule_fields.hpp"

// How administrators name what they steer and preview: letter case does not count.
// The words of their own (kTimedName, kAllName, …) are in base/schedule_fields.hpp,
// where the checks refuse them as names of lists and schedules.
namespace Bellwright {

// The list or schedule that runs under the name typed, its name as configured; found
// by its key, whatever the number of lists and schedules.
std::optional<std::string> RunningAnnouncementName(std::string_view typed);

}  // namespace Bellwright
