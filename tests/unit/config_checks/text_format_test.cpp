#include "config/checks/text_format.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace Bellwright::ConfigCheck {
namespace {

const TextRule& RuleFor(std::string_view pattern) {
  for (const TextRule& rule : TextRules()) {
    if (rule.pattern == pattern) {
      return rule;
    }
  }
  throw std::logic_error("no rule for the pattern");
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
      {"{}", Expected{0, Severity::kError, "which takes no placeholders"}},
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
      {"{}{}", Expected{2, Severity::kError, "which takes one placeholder"}},
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
      // Valid, but padded far beyond anything a player reads.
      {"Hi {0:>100000}", Expected{3, Severity::kWarning, "pads the welcome text to 100000"}},
      {"Hi {0:>2000000000}", Expected{3, Severity::kWarning, "2000000000 characters"}},
  };
  for (const auto& c : cases) {
    ExpectFault(Welcome(), c.text, c.fault);
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
    EXPECT_EQ(!fault.has_value() || fault->severity == Severity::kWarning, greeting_delivered)
        << text;
    if (fault) {
      EXPECT_LT(fault->offset, text.size()) << text;
    }
  }
}

TEST(TextFormat, EveryRuleNamesWhatAFaultCosts) {
  for (const TextRule& rule : TextRules()) {
    EXPECT_FALSE(rule.pattern.empty());
    EXPECT_FALSE(rule.undelivered.empty()) << rule.pattern;
    EXPECT_FALSE(rule.passes.empty()) << rule.pattern;
    const std::optional<TextFault> fault = CheckText("}", rule);
    ASSERT_TRUE(fault.has_value()) << rule.pattern;
    EXPECT_NE(fault->message.find(rule.undelivered), std::string::npos) << fault->message;
  }
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
