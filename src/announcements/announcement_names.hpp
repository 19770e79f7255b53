#pragma once

#include <string>
#include <string_view>
#include <vector>

// How administrators name what they steer and preview: letter case does not count.
namespace Bellwright {

inline constexpr std::string_view kTimedName = "timed";  // the TimedMessages section
inline constexpr std::string_view kAllName = "all";

}  // namespace Bellwright
