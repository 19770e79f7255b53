#include "host/fstring.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

namespace {

TEST(SandboxFString, NarrowConstructorWidensEachByte) {
  const FString text("\xC3\xA9!");
  ASSERT_EQ(text.Len(), 3);
  EXPECT_EQ(text.Wide(), std::u16string(u"\u00C3\u00A9!"));
  EXPECT_TRUE(FString(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_EQ((*FString())[0], u'\0');
}

TEST(SandboxFString, CompareFoldsLetterCaseUnitByUnit) {
  struct Case {
    const char16_t* left;
    const char16_t* right;
    int sign;
  };
  const Case cases[] = {
      {u"bw.SendServer", u"BW.sendserver", 0},
      {u"", u"", 0},
      {u"a", u"", 1},
      {u"abc", u"ABD", -1},
      // Lower-case folding: '_' sorts before letters.
      {u"_", u"A", -1},
      {u"\u00C9T\u00C9", u"\u00E9t\u00E9", 0},
      {u"\u0416", u"\u0436", 0},
      {u"\U0001F600", u"\U0001F600", 0},
  };
  for (const Case& item : cases) {
    const int result = FString(item.left).Compare(FString(item.right));
    EXPECT_EQ((result > 0) - (result < 0), item.sign)
        << std::u16string(item.left).size() << " vs " << std::u16string(item.right).size();
  }
  EXPECT_TRUE(FString("ABC") == FString(u"abc"));
  EXPECT_FALSE(FString("ABC").EqualsExactly(FString(u"abc")));
  EXPECT_TRUE(FString() == FString(""));
}

TEST(SandboxFString, ParseIntoArraySplitsAndCulls) {
  struct Case {
    const char16_t* text;
    const char16_t* delimiter;
    bool cull;
    std::vector<std::u16string> pieces;
  };
  const std::vector<Case> cases = {
      {u"a b  c", u" ", true, {u"a", u"b", u"c"}},
      {u"a b  c", u" ", false, {u"a", u"b", u"", u"c"}},
      {u"  ", u" ", true, {}},
      {u"", u" ", false, {u""}},
      {u"x--y--", u"--", true, {u"x", u"y"}},
      {u"x--y--", u"--", false, {u"x", u"y", u""}},
  };
  for (const Case& item : cases) {
    TArray<FString> out{FString("left over")};
    const int count = FString(item.text).ParseIntoArray(out, item.delimiter, item.cull);
    ASSERT_EQ(count, static_cast<int>(item.pieces.size()));
    ASSERT_EQ(out.Num(), count);
    for (int index = 0; index < count; ++index) {
      EXPECT_EQ(out[index].Wide(), item.pieces[static_cast<std::size_t>(index)]);
    }
  }
}

TEST(SandboxFString, FormatFollowsTheBraceRule) {
  EXPECT_EQ(FString::Format(FString(u"{{x}} \u00E9")).Wide(), u"{x} \u00E9");
  EXPECT_EQ(FString::Format(FString(u"\U0001F600 plain")).Wide(), u"\U0001F600 plain");
  for (const char* bad : {"{", "}", "{}", "a {0} b", "x}y"}) {
    EXPECT_THROW(FString::Format(FString(bad)), fmt::format_error) << bad;
  }
}

TEST(SandboxFString, AppendAndAssignTakeCounts) {
  FString text("ab");
  text.AppendChars(u"cdef", 2);
  text.AppendChars(nullptr, 3);
  text.AppendChars(u"zz", 0);
  EXPECT_EQ(text.Wide(), u"abcd");
  text.AssignRange(u"xyz", 1);
  EXPECT_EQ(text.Wide(), u"x");
  text += FString("!");
  EXPECT_EQ(text.Wide(), u"x!");
}

}  // namespace
