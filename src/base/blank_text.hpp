#pragma once

#include <string_view>

namespace Bellwright {

// Empty or only spaces, tabs and line breaks: a player would see a blank message.
inline bool IsBlankText(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace Bellwright
