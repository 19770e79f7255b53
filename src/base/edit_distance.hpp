#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "base/ascii_case.hpp"

namespace Bellwright {

// Edits (insert, delete, replace, swap two neighbours) between two texts, ignoring ASCII
// letter case: the optimal string alignment, over two rows of the table plus the one before.
inline std::size_t EditDistanceIgnoringAsciiCase(std::string_view first, std::string_view second) {
  const std::size_t width = second.size() + 1;
  std::vector<std::size_t> before(width);
  std::vector<std::size_t> previous(width);
  std::vector<std::size_t> current(width);
  for (std::size_t column = 0; column < width; ++column) {
    previous[column] = column;
  }
  for (std::size_t row = 1; row <= first.size(); ++row) {
    current[0] = row;
    for (std::size_t column = 1; column < width; ++column) {
      const bool same = AsciiLower(first[row - 1]) == AsciiLower(second[column - 1]);
      current[column] = std::min(
          {previous[column] + 1, current[column - 1] + 1, previous[column - 1] + (same ? 0 : 1)});
      if (row > 1 && column > 1 && AsciiLower(first[row - 1]) == AsciiLower(second[column - 2]) &&
          AsciiLower(first[row - 2]) == AsciiLower(second[column - 1])) {
        current[column] = std::min(current[column], before[column - 2] + 1);
      }
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[second.size()];
}

}  // namespace Bellwright
