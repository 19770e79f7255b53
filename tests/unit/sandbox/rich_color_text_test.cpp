#include "views/rich_color_text.hpp"

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
      // The values are linear colour; the game shows 0.5 as 188 of 255.
      {R"(<RichColor Color="0, 0.5, 1">no alpha</>)", {{"no alpha", Rgb{0, 188, 255}}}},
      // What the plug-in writes for a configured 1, 0, 0 with alpha 255.
      {R"(<RichColor Color="1, 0, 0, 255">raw</>)", {{"raw", kRed}}},
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

TEST(RichColorText, PlainWordsDropTheTagsAndNameTheShownColour) {
  struct Case {
    const char* text;
    const char* words;
  };
  const Case cases[] = {
      {"no tags", "no tags"},
      {R"(<RichColor Color="1, 0, 0, 1">Red</>)", "Red [255,0,0]"},
      // A configured 255, 200, 0 reaches the game as 1, 0.784314, 0.
      {R"(<RichColor Color="1, 0.784314, 0, 1">Gold</>)", "Gold [255,229,0]"},
      {"<RichColor Color=\"1, 0, 0, 1\">one</>\n<RichColor Color=\"0, 1, 0, 1\">two</>\n",
       "one [255,0,0]\ntwo [0,255,0]\n"},
      {R"(say <RichColor Color="0, 0, 1, 1">blue</> now)", "say blue [0,0,255] now"},
      {R"(<RichColor Color="1, 0, 0, 1"></>)", ""},
      {R"(<RichColor Color="oops">kept</>)", R"(<RichColor Color="oops">kept</>)"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(PlainWords(test.text), test.words) << test.text;
  }
}

}  // namespace
}  // namespace Sandbox
