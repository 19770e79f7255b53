#include "views/display_width.hpp"

#include <gtest/gtest.h>

namespace Sandbox {
namespace {

TEST(DisplayWidth, CountsTheColumnsATerminalDraws) {
  struct Case {
    const char* text;
    std::size_t width;
  };
  const Case cases[] = {
      {"", 0},
      {"Alice (A1)", 10},
      {"Zoë", 3},
      {"Zoe\xCC\x88", 3},               // e and a combining diaeresis
      {"\xE5\xBC\xA0\xE4\xBC\x9F", 4},  // two CJK characters, two columns each
      {"…", 1},
      {"bad \xFF", 5},  // not UTF-8: a column a byte
  };
  for (const Case& test : cases) {
    EXPECT_EQ(DisplayWidth(test.text), test.width) << test.text;
  }
}

TEST(DisplayWidth, FitsTextToAWidthWithAnEllipsis) {
  struct Case {
    const char* text;
    std::size_t width;
    const char* fitted;
  };
  const Case cases[] = {
      {"Alice", 5, "Alice"},
      {"Alice", 4, "Ali…"},
      {"Alice", 1, "…"},
      {"Alice", 0, ""},
      {"Bartholomew the Great", 13, "Bartholomew…"},
      {"\xE5\xBC\xA0\xE4\xBC\x9F\xE4\xBC\x9F", 4, "\xE5\xBC\xA0…"},  // no half characters
  };
  for (const Case& test : cases) {
    const std::string fitted = FitWidth(test.text, test.width);
    EXPECT_EQ(fitted, test.fitted) << test.text;
    EXPECT_LE(DisplayWidth(fitted), test.width) << test.text;
  }
}

}  // namespace
}  // namespace Sandbox
