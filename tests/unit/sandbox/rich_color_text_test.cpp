#include "rich_color_text.hpp"

#include <gtest/gtest.h>

namespace Sandbox {
namespace {

constexpr Rgb kRed{255, 0, 0};

TEST(RichColorText, SplitsTextAtReadableTags) {
  struct Case {
    const char* text;
    std::vector<ColouredSpan> expected;
  };
  const Case cases[] = {
      {"no tags here", {{"no tags here", std::nullopt}}},
      {"", {}},
      {R"(<RichColor Color="1, 0, 0, 1">red</>)", {{"red", kRed}}},
      {R"(a <RichColor Color="1,0,0,1">red</> b)",
       {{"a ", std::nullopt}, {"red", kRed}, {" b", std::nullopt}}},
      {R"(<RichColor Color="0, 0.5, 1">no alpha</>)", {{"no alpha", Rgb{0, 128, 255}}}},
      {R"(<RichColor Color="2, -1, 0, 1">clamped</>)", {{"clamped", kRed}}},
      {R"(<RichColor Color="1, 0, 0, 1">to the end)", {{"to the end", kRed}}},
      {R"(<RichColor Color="1, 0, 0, 1"></>)", {{"", kRed}}},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(SplitRichColor(test.text), test.expected) << test.text;
  }
}

TEST(RichColorText, KeepsUnreadableTagsAsText) {
  const char* texts[] = {
      R"(<RichColor Color="red">x</>)",
      R"(<RichColor Color="1, 0">x</>)",
      R"(<RichColor Color="1, 0, 0, 1, 5">x</>)",
      R"(<RichColor Color="1, 0, 0, 1")",
      R"(<RichColor>x</>)",
  };
  for (const char* text : texts) {
    std::string joined;
    for (const ColouredSpan& span : SplitRichColor(text)) {
      EXPECT_FALSE(span.colour) << text;
      joined += span.text;
    }
    EXPECT_EQ(joined, text);
  }
}

}  // namespace
}  // namespace Sandbox
