#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Sandbox {

// The columns a UTF-8 text takes on a terminal: wide (East Asian) characters take
// two, combining marks none. Text that is not UTF-8 counts a column per byte.
std::size_t DisplayWidth(std::string_view text);

// The text, cut to at most `width` columns with "…" at the end when it was longer.
std::string FitWidth(std::string_view text, std::size_t width);

}  // namespace Sandbox
