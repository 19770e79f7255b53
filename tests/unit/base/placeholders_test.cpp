#include "base/placeholders.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "base/text.hpp"

namespace Bellwright {
namespace {

struct FillCase {
  const char* description;
  std::string text;
  std::string name;   // value of {PlayerName}
  std::string count;  // value of {PlayerCount}
  std::string expected;
  bool uses_name;
  bool uses_count;
};

void PrintTo(const FillCase& fill, std::ostream* out) {
  *out << fill.description;
}

class PlaceholderFillTest : public testing::TestWithParam<FillCase> {};

TEST_P(PlaceholderFillTest, FillsOnlyExactFieldsOutsideDoubledBraces) {
  const auto& param = GetParam();
  const FString configured = FromUtf8(param.text);
  const PlaceholderText text(configured, kPlayerPlaceholderNames);
  const FString name = FromUtf8(param.name);
  const FString count = FromUtf8(param.count);
  const std::array<std::u16string_view, 2> values{name.Wide(), count.Wide()};
  EXPECT_EQ(ToUtf8(text.Fill(values)), param.expected);
  EXPECT_EQ(text.Uses(kPlayerName), param.uses_name);
  EXPECT_EQ(text.Uses(kPlayerCount), param.uses_count);
  EXPECT_EQ(text.UsesAny(), param.uses_name || param.uses_count);
}

// The delivery formats the result once more, so a brace the player is to see stays
// doubled here.
INSTANTIATE_TEST_SUITE_P(
    Texts, PlaceholderFillTest,
    testing::Values(
        FillCase{"no field", "Hello there", "Bob", "3", "Hello there", false, false},
        FillCase{"empty text", "", "Bob", "3", "", false, false},
        FillCase{"both fields", "{PlayerName} is one of {PlayerCount}", "Bob", "3",
                 "Bob is one of 3", true, true},
        FillCase{"repeated field", "{PlayerName}{PlayerName}", "Bo", "3", "BoBo", true, false},
        FillCase{"count only", "{PlayerCount} online", "Bob", "12", "12 online", false, true},
        FillCase{"doubled braces stay literal", "{{PlayerName}}", "Bob", "3", "{{PlayerName}}",
                 false, false},
        FillCase{"field inside doubled braces", "{{{PlayerName}}}", "Bob", "3", "{{Bob}}", true,
                 false},
        FillCase{"doubled closing brace before a field", "}}{PlayerName}", "Bob", "3", "}}Bob",
                 true, false},
        FillCase{"name braces doubled", "Hi {PlayerName}", "Al{ice}", "3", "Hi Al{{ice}}", true,
                 false},
        FillCase{"name that looks like a field", "Hi {PlayerName}", "{PlayerCount}", "3",
                 "Hi {{PlayerCount}}", true, false},
        FillCase{"non-ASCII name", "Hi {PlayerName}!", "Zo\u00eb \u6771", "3",
                 "Hi Zo\u00eb \u6771!", true, false},
        FillCase{"other letter case is no field", "{playername}", "Bob", "3", "{playername}", false,
                 false},
        FillCase{"unknown name left for the delivery", "{PlayerName} {Other}", "Bob", "3",
                 "Bob {Other}", true, false},
        FillCase{"format options make no field", "{PlayerName:>5}", "Bob", "3", "{PlayerName:>5}",
                 false, false},
        FillCase{"unclosed field", "{PlayerName", "Bob", "3", "{PlayerName", false, false},
        FillCase{"lone brace before a field", "{{PlayerName}", "Bob", "3", "{{PlayerName}", false,
                 false},
        FillCase{"lone opening brace then field", "{ {PlayerName}", "Bob", "3", "{ Bob", true,
                 false},
        FillCase{"empty name", "[{PlayerName}]", "", "3", "[]", true, false},
        FillCase{"count with words, one", "{PlayerCount|player|players}", "Bob", "1", "1 player",
                 false, true},
        FillCase{"count with words, none", "{PlayerCount|player|players}!", "Bob", "0",
                 "0 players!", false, true},
        FillCase{"count with words, more", "{PlayerCount|player is|players are} on", "Bob", "11",
                 "11 players are on", false, true},
        FillCase{"empty words", "[{PlayerCount||s}]", "Bob", "2", "[2 s]", false, true},
        FillCase{"one word is no form", "{PlayerCount|players}", "Bob", "2",
                 "{PlayerCount|players}", false, false},
        FillCase{"three words are no form", "{PlayerCount|a|b|c}", "Bob", "2",
                 "{PlayerCount|a|b|c}", false, false},
        FillCase{"a brace in a word is no form", "{PlayerCount|a{|b}", "Bob", "2",
                 "{PlayerCount|a{|b}", false, false},
        FillCase{"unclosed form", "{PlayerCount|a|b", "Bob", "2", "{PlayerCount|a|b", false, false},
        FillCase{"a name is no count", "{PlayerName|a|b}", "Bob", "2", "{PlayerName|a|b}", false,
                 false},
        FillCase{"doubled braces around a form stay literal", "{{PlayerCount|a|b}}", "Bob", "1",
                 "{{PlayerCount|a|b}}", false, false}));

TEST(PlaceholderTextTest, MinutesTakeTheirWords) {
  const std::u16string_view names[] = {u"Minutes"};
  const FString configured(u"in {Minutes|minute|minutes} ({Minutes})");
  const PlaceholderText text(configured, names);
  for (const auto& [value, expected] : {std::pair{u"1", "in 1 minute (1)"},
                                        {u"5", "in 5 minutes (5)"},
                                        {u"0", "in 0 minutes (0)"}}) {
    const std::array<std::u16string_view, 1> values{value};
    EXPECT_EQ(ToUtf8(text.Fill(values)), expected);
  }
}

TEST(PlaceholderTextTest, NamesAreReadOnlyWhileScanning) {
  std::u16string names[] = {u"Seconds", u"Command"};
  const std::u16string_view views[] = {names[0], names[1]};
  const FString configured(u"{Seconds} s for {Command}");
  const PlaceholderText text(configured, views);
  names[0] = u"changed";
  names[1] = u"changed";
  const std::array<std::u16string_view, 2> values{u"3", u"/kit"};
  EXPECT_EQ(ToUtf8(text.Fill(values)), "3 s for /kit");
}

TEST(DecimalTextTest, WritesWholeNumbers) {
  EXPECT_EQ(DecimalText(0), u"0");
  EXPECT_EQ(DecimalText(100), u"100");
  EXPECT_EQ(DecimalText(-7), u"-7");
}

}  // namespace
}  // namespace Bellwright
