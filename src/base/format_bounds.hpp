#pragma once

#include <cstddef>
#include <string_view>

namespace Bellwright {

// The widest field or longest precision a configured format text may ask for. The
// game's chat line is far shorter; a width of 100 million would build a line of
// that many characters for every player it goes to.
inline constexpr long kLongestFormatField = 1000;

// Whether every replacement field of `format` (an fmt format text) asks for a width
// and precision of at most kLongestFormatField. Any run of digits inside a field's
// format options counts, which covers width and precision whatever precedes them;
// doubled braces are literal text. Says nothing about the rest of the grammar: fmt
// still refuses what it cannot read.
constexpr bool HasBoundedFormatFields(std::string_view format) {
  bool in_options = false;
  int depth = 0;
  long run = 0;
  for (std::size_t index = 0; index < format.size(); ++index) {
    const char unit = format[index];
    if (depth == 0) {
      if ((unit == '{' || unit == '}') && index + 1 < format.size() && format[index + 1] == unit) {
        ++index;
      } else if (unit == '{') {
        depth = 1;
        in_options = false;
      }
      continue;
    }
    if (unit >= '0' && unit <= '9' && in_options) {
      run = run * 10 + (unit - '0');
      if (run > kLongestFormatField) {
        return false;
      }
      continue;
    }
    run = 0;
    if (unit == ':' && !in_options) {
      in_options = true;
    } else if (unit == '{') {
      ++depth;
    } else if (unit == '}' && --depth == 0) {
      in_options = false;
    }
  }
  return true;
}

}  // namespace Bellwright
