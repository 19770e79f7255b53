#pragma once

#include <string>
#include <string_view>
#include <vector>

// How administrators name what they steer and preview: letter case does not count.
namespace Bellwright {

inline constexpr std::string_view kTimedName = "timed";  // "TimedMessages"
inline constexpr std::string_view kAllName = "all";
inline constexpr std::string_view kWelcomeName = "welcome";
inline constexpr std::string_view kFirstJoinName = "firstjoin";

[[nodiscard]] bool SameName(std::string_view typed, std::string_view name);

// "timed", then the lists and schedules that run, in the configured order.
std::vector<std::string> SteerableNames();

}  // namespace Bellwright
