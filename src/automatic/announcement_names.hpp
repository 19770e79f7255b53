#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/schedule_fields.hpp"

// How administrators name what they steer and preview: letter case does not count.
namespace Bellwright {

// The list or schedule that runs under the name typed, its name as configured; found
// by its key, whatever the number of lists and schedules.
std::optional<std::string> RunningAnnouncementName(std::string_view typed);

// "timed", then the lists and schedules that run, in the configured order.
std::vector<std::string> SteerableNames();

}  // namespace Bellwright
