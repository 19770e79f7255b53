#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Letter case of ASCII letters only, for names that are ASCII (keys, type names, field
// names): the result must not hang on the process's locale.
namespace Bellwright {

constexpr char AsciiLower(char unit) {
  return unit >= 'A' && unit <= 'Z' ? static_cast<char>(unit - 'A' + 'a') : unit;
}

constexpr bool EqualIgnoringAsciiCase(std::string_view first, std::string_view second) {
  return std::ranges::equal(first, second,
                            [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

inline std::string AsciiLowered(std::string_view text) {
  std::string lowered(text);
  std::ranges::transform(lowered, lowered.begin(), AsciiLower);
  return lowered;
}

}  // namespace Bellwright
