#pragma once

#include <string_view>

namespace Bellwright {

// The plug-in's folder under the server's current directory, and the configuration
// file in it; the sandbox and the tests lay out their servers from the same names.
inline constexpr std::string_view kPluginFolder = "ArkApi/Plugins/BellwrightEx";
inline constexpr std::string_view kConfigFileName = "config.json";

}  // namespace Bellwright
