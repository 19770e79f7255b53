#include <fmt/format.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config_checks/text_faults.hpp"
#include "text_rules_by_place.hpp"

namespace Bellwright::ConfigCheck {
namespace {

const TextRule& RuleFor(std::string_view pattern) {
  return TextRuleAt(pattern);
}

const TextRule& OnceFormatted() {
  return RuleFor("/TimedMessages/Messages/*/MessageToSend");
}

const TextRule& Welcome() {
  return RuleFor("/Bellwright/WelcomeMessage/Message");
}

struct Expected {
  std::size_t offset;
  Severity severity;
  std::string_view words;  // part of the message
};

void ExpectFault(const TextRule& rule, std::string_view text, std::optional<Expected> expected) {
  const std::optional<TextFault> fault = CheckText(text, rule);
  ASSERT_EQ(fault.has_value(), expected.has_value())
      << text << (fault ? ": " + fault->message : "");
  if (!expected) {
    return;
  }
  EXPECT_EQ(fault->offset, expected->offset) << text;
  EXPECT_EQ(fault->severity, expected->severity) << text;
  EXPECT_NE(fault->message.find(expected->words), std::string::npos)
      << text << ": " << fault->message;
}

TEST(TextFormat, TextsFormattedOnceKeepOnlyDoubledBraces) {
  const struct {
    std::string_view text;
    std::optional<Expected> fault;
  } cases[] = {
      {"Plain text", std::nullopt},
      {"Set {{braces}} like this", std::nullopt},
      {"", std::nullopt},
      {"Rules: {see /rules", Expected{7, Severity::kError, "unmatched \"{\""}},
      {"smile :}", Expected{7, Severity::kError, "unmatched \"}\""}},
      {"Hello {0}", Expected{6, Severity::kError, "\"{0}\" is not a placeholder"}},
      {"{}",
       Expected{0, Severity::kError, "which takes {PlayerName}, {PlayerCount} and {ServerName}"}},
      {"a {{b}} c {d}", Expected{10, Severity::kError, "\"{d}\""}},
      {"{{}", Expected{2, Severity::kError, "unmatched \"}\""}},
      {"x}}y}", Expected{4, Severity::kError, "unmatched \"}\""}},
  };
  for (const auto& c : cases) {
    ExpectFault(OnceFormatted(), c.text, c.fault);
  }
}

TEST(TextFormat, TheWelcomeTextIsFormattedWithTheNameAndThenOnceMore) {
  const struct {
    std::string_view text;
    std::optional<Expected> fault;
  } cases[] = {
      {"Welcome to the server {0}", std::nullopt},
      {"Welcome {}!", std::nullopt},
      {"{0} and {0} again", std::nullopt},
      {"Hi {0:>12}", std::nullopt},
      {"{{{{literal}}}} {0}", std::nullopt},
      {"{}{}", Expected{2, Severity::kError, "which takes {0} or {} (the character name)"}},
      {"{0} is player {1}", Expected{14, Severity::kError, "\"{1}\" is not a placeholder"}},
      {"{name}", Expected{0, Severity::kError, "\"{name}\""}},
      {"{} and {0}", Expected{7, Severity::kError, "mixes numbered and automatic"}},
      {"{0:d}", Expected{0, Severity::kError, "the formatter accepts"}},
      {"{0:99999999999}", Expected{0, Severity::kError, "the formatter accepts"}},
      {"Hi {0", Expected{3, Severity::kError, "unmatched \"{\""}},
      // Doubled once, a brace survives the first formatting only.
      {"Hi {0} {{x}}", Expected{7, Severity::kError, "becomes a single \"{\""}},
      {"}} {0}", Expected{0, Severity::kError, "becomes a single \"}\""}},
      {"{{0}}", Expected{0, Severity::kError, "is written \"{{{{\" or \"}}}}\""}},
      // The formatter would take them; the plug-in refuses a field this wide.
      {"Hi {0:>1000}", std::nullopt},
      {"Hi {0:>100000}", Expected{3, Severity::kError, "asks for 100000 characters"}},
      {"Hi {0:>2000000000}", Expected{3, Severity::kError, "2000000000 characters"}},
      {"{0:.1001}", Expected{0, Severity::kError, "more than the 1000 a field may take"}},
  };
  for (const auto& c : cases) {
    ExpectFault(Welcome(), c.text, c.fault);
  }
}

// The fields a player's texts take are filled in by plain substitution; what is left
// goes through the delivery's one formatting.
TEST(TextFormat, PlayerFieldsAreFilledInBeforeTheTextIsFormattedOnce) {
  const struct {
    std::string_view text;
    std::optional<Expected> fault;
  } cases[] = {
      {"Hello {PlayerName}", std::nullopt},
      {"{PlayerCount} online, {PlayerName}", std::nullopt},
      {"{{PlayerName}} is written like this", std::nullopt},
      {"{{{PlayerName}}}", std::nullopt},
      {"{PlayerName}}", Expected{12, Severity::kError, "unmatched \"}\""}},
      {"{PlayerName", Expected{0, Severity::kError, "unmatched \"{\""}},
      {"{PlayerName:>5}", Expected{0, Severity::kError, "without format options: write"}},
      {"{ PlayerName}", Expected{0, Severity::kError, "is not a placeholder"}},
      {"{playername}", Expected{0, Severity::kError, "case-sensitive: write \"{PlayerName}\""}},
      {"Hi {Player}", Expected{3, Severity::kError, "\"{Player}\" is not a placeholder"}},
      // Places stay those of the text as written.
      {"{PlayerName}{0}", Expected{12, Severity::kError, "\"{0}\""}},
      {"\xC3\xA9{PlayerCount} {", Expected{16, Severity::kError, "unmatched \"{\""}},
  };
  for (const std::string_view pattern :
       {"/TimedMessages/Messages/*/MessageToSend", "/CustomCommands/*/Message"}) {
    for (const auto& c : cases) {
      ExpectFault(RuleFor(pattern), c.text, c.fault);
    }
  }
}

TEST(TextFormat, EachLineTakesItsOwnFields) {
  const struct {
    std::string_view pattern;
    std::string_view text;
    std::optional<Expected> fault;
  } cases[] = {
      {"/CooldownMessage", "Wait {Seconds} s before {Command}", std::nullopt},
      {"/CooldownMessage", "Wait {Seconds} s, {PlayerName}",
       Expected{18, Severity::kError, "which takes {Seconds} and {Command}"}},
      {"/CooldownMessage", "Wait {seconds} s",
       Expected{5, Severity::kError, "write \"{Seconds}\""}},
      {"/TimedMessages/OptOutOffMessage", "Type {Command} again", std::nullopt},
      {"/TimedMessages/OptOutOnMessage", "Back on :}", Expected{9, Severity::kError, "opt-in"}},
      {"/TimedMessages/OptOutOffMessage", "{Seconds}", Expected{0, Severity::kError, "{Command}"}},
      {"/NoPermission", "Not for you, {PlayerName}",
       Expected{13, Severity::kError, "which takes no placeholders"}},
  };
  for (const auto& c : cases) {
    ExpectFault(RuleFor(c.pattern), c.text, c.fault);
  }
}

TEST(TextFormat, ACountTakesItsWordsWhereTheTextTakesTheCount) {
  const struct {
    std::string_view pattern;
    std::string_view text;
    std::optional<Expected> fault;
  } cases[] = {
      {"/Countdown/MessageToSend", "Restart in {Minutes|minute|minutes}", std::nullopt},
      {"/Countdown/MessageToSend", "{PlayerCount|player|players}, {Minutes||s}", std::nullopt},
      {"/Schedules/*/MessageToSend", "At {Time}: {Minutes|minute|minutes}", std::nullopt},
      {"/CustomCommands/*/Message", "{PlayerCount|player is|players are} on", std::nullopt},
      {"/Bellwright/WelcomeMessage/Message", "{0}: {PlayerCount|player|players}", std::nullopt},
      {"/Bellwright/WelcomeMessage/FirstJoinMessage", "{PlayerCount|one}",
       Expected{0, Severity::kError, "such as \"{PlayerCount|player|players}\""}},
      // Written out before the formatting, the words leave the faults after them in place.
      {"/Bellwright/WelcomeMessage/GroupMessages/*/Message", "{PlayerCount|a|b} {1}",
       Expected{18, Severity::kError, "\"{1}\" is not a placeholder"}},
      {"/Bellwright/WelcomeMessage/Message", "{PlayerCount|a|b} {{x}}",
       Expected{18, Severity::kError, "becomes a single \"{\""}},
      {"/Countdown/MessageToSend", "Restart in {Minutes|minute}",
       Expected{11, Severity::kError,
                "written \"{Minutes|one|more}\", such as "
                "\"{Minutes|minute|minutes}\""}},
      {"/Countdown/MessageToSend", "{Minutes|a|b|c}",
       Expected{0, Severity::kError, "such as \"{Minutes|minute|minutes}\""}},
      {"/TimedMessages/Messages/*/MessageToSend", "{PlayerCount|one}",
       Expected{0, Severity::kError, "such as \"{PlayerCount|player|players}\""}},
      // Only a count takes words, and only where the text takes the count.
      {"/TimedMessages/Messages/*/MessageToSend", "{Minutes|minute|minutes}",
       Expected{0, Severity::kError, "\"{Minutes|minute|minutes}\" is not a placeholder"}},
      {"/Countdown/CancelMessage", "{Minutes|minute|minutes}",
       Expected{0, Severity::kError, "\"{Minutes|minute|minutes}\" is not a placeholder"}},
      {"/Countdown/MessageToSend", "{PlayerName|a|b}",
       Expected{0, Severity::kError, "is not a placeholder"}},
  };
  for (const auto& c : cases) {
    ExpectFault(RuleFor(c.pattern), c.text, c.fault);
  }
}

// The welcome texts name the player by position and by the field names in one
// formatting, and the plug-in takes only {0} or one {} by position then.
TEST(TextFormat, WelcomeTextsTakeTheNamedFieldsWithTheName) {
  const struct {
    std::string_view text;
    std::optional<Expected> fault;
  } cases[] = {
      {"Hi {PlayerName}, {PlayerCount} online", std::nullopt},
      {"{0} is {PlayerName}", std::nullopt},
      {"{} of {PlayerCount}", std::nullopt},
      {"{PlayerCount:>3} players", std::nullopt},
      {"{0}, welcome to {ServerName:>10}", std::nullopt},
      {"{servername}", Expected{0, Severity::kError, "write \"{ServerName}\""}},
      {"{PlayerName} {1}", Expected{13, Severity::kError, "\"{1}\" is not a placeholder"}},
      {"{PlayerName} {} {}", Expected{16, Severity::kError, "\"{}\" is not a placeholder"}},
      {"{PlayerName} {0:{1}}", Expected{13, Severity::kError, "is not a placeholder"}},
      {"{2}", Expected{0, Severity::kError, "is not a placeholder"}},
      {"{PlayerName:d}", Expected{0, Severity::kError, "the formatter accepts"}},
      {"{playerCount}", Expected{0, Severity::kError, "write \"{PlayerCount}\""}},
      {"{PlayerCount:>1001}", Expected{0, Severity::kError, "asks for 1001 characters"}},
      {"{PlayerName} {{x}}", Expected{13, Severity::kError, "becomes a single \"{\""}},
  };
  for (const std::string_view pattern : {"/Bellwright/WelcomeMessage/Message",
                                         "/Bellwright/WelcomeMessage/GroupMessages/*/Message"}) {
    for (const auto& c : cases) {
      ExpectFault(RuleFor(pattern), c.text, c.fault);
    }
  }
}

// Every short text over the letters that matter: the checks must agree with the
// formatter itself about which texts can be delivered.
std::vector<std::string> ShortTexts() {
  const std::string letters = "{}0:x";
  std::vector<std::string> texts = {""};
  std::vector<std::string> previous = texts;
  for (int length = 1; length <= 5; ++length) {
    std::vector<std::string> longer;
    for (const std::string& text : previous) {
      for (const char letter : letters) {
        longer.push_back(text + letter);
      }
    }
    texts.insert(texts.end(), longer.begin(), longer.end());
    previous = std::move(longer);
  }
  return texts;
}

bool FormatsWithoutArguments(const std::string& text) {
  try {
    static_cast<void>(fmt::format(fmt::runtime(text)));
    return true;
  } catch (const fmt::format_error&) {
    return false;
  }
}

TEST(TextFormat, AgreesWithTheFormatterOnEveryShortText) {
  for (const std::string& text : ShortTexts()) {
    EXPECT_EQ(!CheckText(text, OnceFormatted()).has_value(), FormatsWithoutArguments(text)) << text;
    bool greeting_delivered = false;
    try {
      greeting_delivered = FormatsWithoutArguments(fmt::format(fmt::runtime(text), "Name"));
    } catch (const fmt::format_error&) {
    }
    const std::optional<TextFault> fault = CheckText(text, Welcome());
    EXPECT_EQ(!fault.has_value(), greeting_delivered) << text;
    if (fault) {
      EXPECT_LT(fault->offset, text.size()) << text;
    }
  }
}

TEST(TextFormat, EveryRuleNamesWhatAFaultCosts) {
  for (const std::string_view pattern :
       {"/NoPermission", "/CooldownMessage", "/CustomCommands/*/Message",
        "/TimedMessages/Messages/*/MessageToSend", "/Announcements/*/Messages/*/MessageToSend",
        "/Schedules/*/MessageToSend", "/TimedMessages/OptOutOffMessage",
        "/TimedMessages/OptOutOnMessage", "/Countdown/MessageToSend", "/Countdown/FinalMessage",
        "/Bellwright/WelcomeMessage/Message", "/Bellwright/WelcomeMessage/FirstJoinMessage",
        "/Bellwright/WelcomeMessage/GroupMessages/*/Message"}) {
    const TextRule& rule = RuleFor(pattern);
    EXPECT_FALSE(rule.undelivered.empty()) << pattern;
    EXPECT_FALSE(rule.passes.empty()) << pattern;
    const std::optional<TextFault> fault = CheckText("}", rule);
    ASSERT_TRUE(fault.has_value()) << pattern;
    EXPECT_NE(fault->message.find(rule.undelivered), std::string::npos) << fault->message;
  }
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
