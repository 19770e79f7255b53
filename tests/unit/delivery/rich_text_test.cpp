#include "delivery/rich_text.hpp"

#include <gtest/gtest.h>

#include "base/text.hpp"

namespace Bellwright {
namespace {

std::string Rich(const char* utf8_message, ByteColor color) {
  return ToUtf8(BuildRichChatText(FromUtf8(utf8_message), color));
}

TEST(RichChatText, FillsTheMarkupWithGeneralFormatComponents) {
  struct Case {
    ByteColor color;
    const char* components;
  };
  const Case cases[] = {
      {MakeByteColor(255, 0, 0), "1, 0, 0, 1"},
      {MakeByteColor(1, 0, 0), "1, 0, 0, 255"},
      {MakeByteColor(0, 0, 0), "0, 0, 0, 255"},
      {MakeByteColor(128, 64, 0), "0.501961, 0.25098, 0, 1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rich("Hello", c.color),
              std::string("<RichColor Color=\"") + c.components + "\">Hello</>");
  }
}

TEST(RichChatText, SeveralLinesEachEndInALineFeedAndBlankLinesVanish) {
  EXPECT_EQ(Rich("one\n\ntwo", MakeByteColor(255, 0, 0)),
            "<RichColor Color=\"1, 0, 0, 1\">one</>\n<RichColor Color=\"1, 0, 0, 1\">two</>\n");
  EXPECT_EQ(Rich("\n\n", MakeByteColor(255, 0, 0)), "");
  EXPECT_EQ(Rich("", MakeByteColor(255, 0, 0)), "");
}

TEST(RichChatText, KeepsNonAsciiCharactersAndCarriageReturns) {
  EXPECT_EQ(Rich("Grüße 🎉\r", MakeByteColor(0, 0, 0)),
            "<RichColor Color=\"0, 0, 0, 255\">Grüße 🎉\r</>");
}

}  // namespace
}  // namespace Bellwright
