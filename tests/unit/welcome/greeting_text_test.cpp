#include "welcome/greeting_text.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/format_bounds.hpp"
#include "base/unicode.hpp"

namespace Bellwright {
namespace {

struct GreetingCase {
  const char* description;
  std::string message;
  std::string character_name;
  std::string expected;
  int player_count = 0;
  std::string server_name = "Center";
};

// Named in test listings by its description rather than its bytes.
void PrintTo(const GreetingCase& greeting, std::ostream* out) {
  *out << greeting.description;
}

class GreetingTextTest : public testing::TestWithParam<GreetingCase> {};

TEST_P(GreetingTextTest, BuildsTheGreeting) {
  const auto& param = GetParam();
  EXPECT_EQ(GreetingTemplate(param.message, param.server_name)
                .Build(param.character_name, param.player_count),
            param.expected)
      << param.description;
}

// Where the pass's shortcut applies, it gives exactly what the formatter gives.
TEST_P(GreetingTextTest, TheShortcutGivesTheSameText) {
  const auto& param = GetParam();
  const std::optional<std::u16string> plain =
      GreetingTemplate(param.message, param.server_name)
          .BuildPlain(Unicode::Utf8ToUtf16(param.character_name), param.player_count);
  if (plain) {
    EXPECT_EQ(Unicode::Utf16ToUtf8(*plain), param.expected) << param.description;
  }
}

TEST(GreetingShortcutTest, TakesPlainFieldsAndWholeNamesOnly) {
  struct Case {
    const char* message;
    std::u16string name;
    bool shortcut;
  };
  const Case cases[] = {
      {"Welcome to the server {0}", u"Alice", true},
      {"{PlayerName}: {PlayerCount} online", u"Bob", true},
      {"Hi {}! {0}", u"Bob", false},
      {"Hi {} and {}", u"Bob", false},
      {"No field at all", u"Bob", true},
      {"{{VIP}} {0}", u"Bob", false},
      {"[{0:>6}]", u"Bob", false},
      {"Welcome {1}", u"Bob", false},
      {"Welcome {0", u"Bob", false},
      {"Welcome }", u"Bob", false},
      {"Welcome {0}", u"Al\xD83D", false},  // a lone surrogate
      {"Welcome {0}", u"Al\U0001F600", false},
      {"{PlayerCount|player|players} on {ServerName}, {0}", u"Bob", true},
      {"{PlayerCount|player} {0}", u"Bob", false},
      {"{ServerName:>9} {0}", u"Bob", false},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(GreetingTemplate(test.message, "Center").BuildPlain(test.name, 3).has_value(),
              test.shortcut)
        << test.message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Greetings, GreetingTextTest,
    testing::Values(
        GreetingCase{"default text", "Welcome to the server {0}", "Alice",
                     "Welcome to the server Alice"},
        GreetingCase{"numbered placeholder twice", "{0}, hello {0}", "Bob", "Bob, hello Bob"},
        GreetingCase{"automatic placeholder", "Hi {}!", "Bob", "Hi Bob!"},
        GreetingCase{"no placeholder", "Hello there", "Bob", "Hello there"},
        GreetingCase{"empty name", "Welcome {0}", "", "Welcome "},
        // The delivery formats once more, so a brace shown to the player stays doubled.
        GreetingCase{"literal brace takes four", "{{{{VIP}}}} {0}", "Bob", "{{VIP}} Bob"},
        GreetingCase{"braces in a name are escaped", "Welcome {0}", "Al{ice}", "Welcome Al{{ice}}"},
        GreetingCase{"placeholder-like name", "Welcome {0}", "{0}", "Welcome {{0}}"},
        GreetingCase{"non-ASCII name kept", "Welcome {0}", "Zo\u00eb \u6771",
                     "Welcome Zo\u00eb \u6771"},
        GreetingCase{"non-ASCII message kept", "Bienvenue \u00e0 {0}", "Bob",
                     "Bienvenue \u00e0 Bob"},
        GreetingCase{"second argument: unformatted", "Welcome {1}", "Bob", "Welcome {1}"},
        GreetingCase{"unmatched brace: unformatted", "Welcome {0", "Bob", "Welcome {0"},
        GreetingCase{"mixed placeholders: unformatted", "{} and {0}", "Bob", "{} and {0}"},
        GreetingCase{"wrong presentation: unformatted", "{0:d}", "Bob", "{0:d}"},
        GreetingCase{"sane width: formatted", "[{0:>6}]", "Bob", "[   Bob]"},
        // Width and precision count the name as the player wrote it, braces included
        // once; a cut never leaves half of a doubled brace behind.
        GreetingCase{"precision keeps a short name whole", "Hi {0:.6}", "Bob{}", "Hi Bob{{}}"},
        GreetingCase{"precision cuts between braces", "{0:.4}|", "Bob{}", "Bob{{|"},
        GreetingCase{"width counts braces once", "[{0:>6}]", "{x}", "[   {{x}}]"},
        GreetingCase{"named field cut", "{PlayerName:.1}{PlayerName:^5}", "}a", "}} }}a  "},
        GreetingCase{"width from the count", "[{0:>{PlayerCount}}]", "{}", "[  {{}}]", 4},
        GreetingCase{"width past the bound: unformatted", "{0:>100000000}", "Bob",
                     "{0:>100000000}"},
        GreetingCase{"precision past the bound: unformatted", "{0:.2147483647}", "Bob",
                     "{0:.2147483647}"},
        GreetingCase{"fill digit and huge width: unformatted", "{0:9<99999999999999999999}", "Bob",
                     "{0:9<99999999999999999999}"},
        // The named fields, filled in the same step as the name.
        GreetingCase{"named fields", "{PlayerName}: {PlayerCount} online", "Bob", "Bob: 12 online",
                     12},
        GreetingCase{"named and numbered", "{0} = {PlayerName}", "Bob", "Bob = Bob", 1},
        GreetingCase{"named and automatic once", "{} of {PlayerCount}", "Bob", "Bob of 3", 3},
        GreetingCase{"named with format options", "[{PlayerCount:03}|{PlayerName:>4}]", "Bob",
                     "[007| Bob]", 7},
        GreetingCase{"named braces in a name escaped", "{PlayerName}", "Al{ice}", "Al{{ice}}", 1},
        GreetingCase{"named with four braces", "{{{{VIP}}}} {PlayerName}", "Bob", "{{VIP}} Bob", 1},
        GreetingCase{"doubled braces are no field", "{{PlayerName}} {0}", "Bob", "{PlayerName} Bob",
                     1},
        GreetingCase{"named and unknown: unformatted", "{PlayerName} {Other}", "Bob",
                     "{PlayerName} {Other}", 1},
        // fmt reaches named arguments by position too; that must not name the player.
        GreetingCase{"named and second position: unformatted", "{PlayerName} {1}", "Bob",
                     "{PlayerName} {1}", 1},
        GreetingCase{"named and count by position: unformatted", "{PlayerCount} {2}", "Bob",
                     "{PlayerCount} {2}", 1},
        GreetingCase{"named and two automatic: unformatted", "{} {} {PlayerName}", "Bob",
                     "{} {} {PlayerName}", 1},
        GreetingCase{"named width from a position: unformatted", "{PlayerName:{2}}", "Bob",
                     "{PlayerName:{2}}", 5},
        GreetingCase{"named past the bound: unformatted", "{PlayerName:>5000}", "Bob",
                     "{PlayerName:>5000}", 1},
        GreetingCase{"other letter case is unknown: unformatted", "{playername}", "Bob",
                     "{playername}", 1},
        // This server's name, a value like the player's.
        GreetingCase{"server name", "Welcome to {ServerName}, {0}", "Bob",
                     "Welcome to Center, Bob"},
        GreetingCase{"server name outside a cluster", "On {ServerName}.", "Bob", "On .", 0, ""},
        GreetingCase{"server name braces escaped", "{} on {ServerName}", "Bob", "Bob on Is{{land}}",
                     0, "Is{land}"},
        GreetingCase{"server name with format options", "[{ServerName:>8}|{ServerName:.3}]", "Bob",
                     "[  Center|Cen]"},
        GreetingCase{"server name by position: unformatted", "{ServerName} {3}", "Bob",
                     "{ServerName} {3}"},
        // A count with the word that fits it.
        GreetingCase{"count with words, one", "{PlayerCount|player is|players are} online, {0}",
                     "Bob", "1 player is online, Bob", 1},
        GreetingCase{"count with words, none", "{PlayerCount|player is|players are} online, {0}",
                     "Bob", "0 players are online, Bob", 0},
        GreetingCase{"count with words beside options", "[{0:>5}] {PlayerCount|soul:|souls:}",
                     "Bob", "[  Bob] 12 souls:", 12},
        GreetingCase{"count with words and the count", "{PlayerCount:03} = {PlayerCount|x|y}",
                     "Bob", "001 = 1 x", 1},
        GreetingCase{"count with words, non-ASCII words",
                     "{PlayerCount|joueur \u00e0|joueurs \u00e0} {0}", "Zo\u00eb",
                     "2 joueurs \u00e0 Zo\u00eb", 2},
        GreetingCase{"count words in doubled braces are literal", "{{{{PlayerCount|a|b}}}} {0}",
                     "Bob", "{{PlayerCount|a|b}} Bob", 1},
        GreetingCase{"count with one word: unformatted", "{PlayerCount|player} {0}", "Bob",
                     "{PlayerCount|player} {0}", 1},
        GreetingCase{"count with three words: unformatted", "{PlayerCount|a|b|c}", "Bob",
                     "{PlayerCount|a|b|c}", 1},
        GreetingCase{"count with words and a second position: unformatted", "{PlayerCount|a|b} {1}",
                     "Bob", "{PlayerCount|a|b} {1}", 1}));

TEST(ReplacementFieldIdsTest, ListsTheArgumentOfEveryFieldNestedOnesIncluded) {
  using Ids = std::vector<std::string_view>;
  EXPECT_EQ(ReplacementFieldIds("plain {{0}} text"), Ids{});
  EXPECT_EQ(ReplacementFieldIds("{} {0} {PlayerName:>5}"), (Ids{"", "0", "PlayerName"}));
  EXPECT_EQ(ReplacementFieldIds("{0:{PlayerCount}}"), (Ids{"0", "PlayerCount"}));
  EXPECT_EQ(ReplacementFieldIds("{{{PlayerCount}}}"), Ids{"PlayerCount"});
  EXPECT_EQ(ReplacementFieldIds("{unclosed"), Ids{"unclosed"});
  EXPECT_TRUE(GreetingTemplate("{PlayerCount:>3} online").NamesPlayerCount());
  EXPECT_FALSE(GreetingTemplate("{{PlayerCount}} {0}").NamesPlayerCount());
  EXPECT_FALSE(GreetingTemplate("{PlayerCount:>5000}").NamesPlayerCount());
  EXPECT_TRUE(GreetingTemplate("{PlayerCount|player|players} here").NamesPlayerCount());
  EXPECT_FALSE(GreetingTemplate("{{PlayerCount|player|players}} {0}").NamesPlayerCount());
}

TEST(FormatBoundsTest, OnlyDigitsInsideAFieldSpecCount) {
  EXPECT_TRUE(HasBoundedFormatFields("Welcome 100000000 {0}"));
  EXPECT_TRUE(HasBoundedFormatFields("{{0:>100000000}} {0:>1000}"));
  EXPECT_TRUE(HasBoundedFormatFields("{100000000}"));  // an argument index, refused by fmt
  EXPECT_FALSE(HasBoundedFormatFields("{0:>1001}"));
  EXPECT_FALSE(HasBoundedFormatFields("{:.5000f}"));
  EXPECT_FALSE(HasBoundedFormatFields("{0:{1}99999}"));
}

TEST(EscapeBracesTest, DoublesEveryBraceAndNothingElse) {
  EXPECT_EQ(EscapeBraces(""), "");
  EXPECT_EQ(EscapeBraces("plain"), "plain");
  EXPECT_EQ(EscapeBraces("a{b}c"), "a{{b}}c");
  EXPECT_EQ(EscapeBraces("{{"), "{{{{");
  EXPECT_EQ(EscapeBraces("}\u00e9{"), "}}\u00e9{{");
}

}  // namespace
}  // namespace Bellwright
