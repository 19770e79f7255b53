#include "commands/command_line.hpp"

#include <gtest/gtest.h>

#include "base/text.hpp"
#include "commands/trailing_numbers.hpp"

namespace Bellwright {
namespace {

using Given = TrailingNumbers<ByteColor>::Outcome;
using GivenRun = TrailingNumbers<NotificationNumbers>::Outcome;

std::string Utf8(const FString& text) {
  return ToUtf8(text);
}

CommandLine Line(const char* text) {
  return CommandLine(FromUtf8(text));
}

TEST(CommandLine, CutsAtQuotesAndBlanks) {
  struct Case {
    const char* line;
    const char* target;
    const char* sender;
    const char* message;
  };
  const Case cases[] = {
      {R"(bw.sendchat 0 Admin "Hello there" 0 255 0)", "0", "Admin", "Hello there"},
      // The sender is positional: the message's first word takes its place.
      {R"(bw.sendchat 0 "Hello there")", "0", "\"Hello", "Hello there"},
      {"bw.sendchat 0 Admin Hello", "0", "Admin", ""},
      {"bw.sendchat", "", "Bellwright", ""},
      {R"(bw.sendserver   A1    "two  blanks")", "A1", "\"two", "two  blanks"},
      {R"(bw.sendserver 0 "")", "0", "\"\"", ""},
  };
  for (const Case& c : cases) {
    const CommandLine line = Line(c.line);
    EXPECT_EQ(Utf8(line.Target()), c.target) << c.line;
    EXPECT_EQ(Utf8(line.Sender()), c.sender) << c.line;
    EXPECT_EQ(Utf8(line.Message()), c.message) << c.line;
  }
}

TEST(CommandLine, CountsTokensFromTheEndAndStaysInside) {
  const CommandLine line = Line(R"(bw.sendserver 0 "Hi there" 1 2 3)");
  EXPECT_EQ(line.TokenCount(), 7);
  EXPECT_EQ(Utf8(line.TokenFromEnd(1)), "3");
  EXPECT_EQ(Utf8(line.TokenFromEnd(4)), "there\"");
  EXPECT_EQ(Utf8(line.TokenFromEnd(7)), "bw.sendserver");
  EXPECT_TRUE(line.TokenFromEnd(8).IsEmpty());
  EXPECT_TRUE(line.Token(7).IsEmpty());
}

TEST(CommandLine, OnlyTheExactZeroAddressesEveryone) {
  EXPECT_TRUE(IsEveryoneTarget(FString("0")));
  for (const char* target : {"00", "+0", "", "O", "0 "}) {
    EXPECT_FALSE(IsEveryoneTarget(FString(target))) << target;
  }
}

TEST(GivenColor, TakesThreeTrailingNumbersKeepingTheirLowEightBits) {
  struct Case {
    const char* line;
    ByteColor color;
  };
  const Case cases[] = {
      {R"(bw.sendserver 0 "Hi" 255 0 0)", MakeByteColor(255, 0, 0)},
      {R"(bw.sendserver 0 "Hi" 300 0 0)", MakeByteColor(44, 0, 0)},
      {R"(bw.sendserver 0 "Hi" -1 0 256)", MakeByteColor(255, 0, 0)},
      {R"(bw.sendserver 0 "Hi" 12.5 0 0)", MakeByteColor(12, 0, 0)},
  };
  for (const Case& c : cases) {
    const auto color = GivenColor(Line(c.line));
    ASSERT_EQ(color.outcome, Given::kGiven) << c.line;
    EXPECT_EQ(color.numbers, c.color) << c.line;
  }
}

TEST(GivenColor, IsAbsentUnlessAllThreeTrailingTokensAreNumeric) {
  for (const char* text : {R"(bw.sendserver 0 "Hi" abc 0 255)", R"(bw.sendserver 0 "Hi")",
                           R"(bw.sendserver 0 "1 2 3")", "bw.sendserver 1 2", "bw.sendserver"}) {
    EXPECT_EQ(GivenColor(Line(text)).outcome, Given::kNotGiven) << text;
  }
}

TEST(GivenColor, IsUnconvertibleForANumericTokenThatDoesNotConvert) {
  for (const char* text :
       {R"(bw.sendserver 0 "Hi" + 0 0)", R"(bw.sendserver 0 "Hi" 0 0 9999999999)"}) {
    EXPECT_EQ(GivenColor(Line(text)).outcome, Given::kUnconvertible) << text;
  }
}

TEST(NotificationNumbers, TestedRunNeedsNumericEndsAndRefusesABadMiddle) {
  const auto numbers = GivenNotificationNumbersTested(Line(R"(bw.sn 0 "Hi" 1.5 10 255 255 0 0)"));
  ASSERT_EQ(numbers.outcome, GivenRun::kGiven);
  EXPECT_FLOAT_EQ(numbers.numbers.display_scale, 1.5F);
  EXPECT_FLOAT_EQ(numbers.numbers.display_time, 10.0F);
  EXPECT_EQ(numbers.numbers.color, MakeByteColor(255, 255, 0));

  // Five numbers and no icon token: the run starts at the quoted word.
  EXPECT_EQ(GivenNotificationNumbersTested(Line(R"(bw.sn 0 "Hi" 1.5 10 255 255 0)")).outcome,
            GivenRun::kNotGiven);
  EXPECT_EQ(GivenNotificationNumbersTested(Line("bw.sn 1 2 3 4")).outcome, GivenRun::kNotGiven);
  EXPECT_EQ(GivenNotificationNumbersTested(Line(R"(bw.sn 0 "Hi" 1.5 10 255 x 0 0)")).outcome,
            GivenRun::kUnconvertible);
}

TEST(NotificationNumbers, UntestedRunIsNotGivenWhenAnyValueDoesNotConvert) {
  const auto numbers =
      GivenNotificationNumbersUntested(Line(R"(bw.sn 0 "Hi" 1.5 10 255 255 0 /Game/Icon)"));
  ASSERT_EQ(numbers.outcome, GivenRun::kGiven);
  EXPECT_EQ(numbers.numbers.color, MakeByteColor(255, 255, 0));
  for (const char* text : {R"(bw.sn 0 "Hi" 1.5 10 255 x 0 0)", R"(bw.sn 0 "Hi" 1.5 10 255 255 0)",
                           "bw.sn 1 2 3 4 5", "bw.sn 1 2 3 4", "bw.sn"}) {
    EXPECT_EQ(GivenNotificationNumbersUntested(Line(text)).outcome, GivenRun::kNotGiven) << text;
  }
}

}  // namespace
}  // namespace Bellwright
