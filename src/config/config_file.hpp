#pragma once

#include <optional>
#include <string>

namespace Bellwright {

// The whole configuration file as bytes; nothing when it cannot be opened.
std::optional<std::string> ReadConfigFileText(const std::string& path);

}  // namespace Bellwright
