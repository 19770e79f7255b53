#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace Bellwright::ConfigCheck {

// The reader skips a UTF-8 byte order mark at the start of a text.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The white space JSON allows between tokens.
constexpr bool IsJsonBlank(char unit) {
  return unit == ' ' || unit == '\t' || unit == '\n' || unit == '\r';
}

struct LineColumn {
  int line = 1;
  int column = 1;
};

// Byte offsets in a text to lines and columns counted from 1, columns in characters
// (UTF-8 code points) as an editor shows them; a byte order mark is not a column.
class LineMap {
 public:
  // `text` must outlive the map. Nothing is counted until the first Locate: a file
  // without findings never needs it.
  explicit LineMap(std::string_view text);

  // An offset past the end stands for the end of the text.
  [[nodiscard]] LineColumn Locate(std::size_t offset) const;

 private:
  void Count() const;
  [[nodiscard]] std::size_t CharactersBefore(std::size_t offset) const;

  std::string_view text_;
  std::size_t text_start_ = 0;
  mutable bool counted_ = false;
  mutable std::vector<std::size_t> line_starts_;
  // Characters before each block of kBlockBytes, so that a column costs at most one
  // block however long its line.
  mutable std::vector<std::size_t> characters_before_block_;
};

}  // namespace Bellwright::ConfigCheck
