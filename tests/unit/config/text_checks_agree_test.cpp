// The configuration checks say which texts can never be delivered; the plug-in's own
// code decides. They must agree on every short text made of the pieces that matter.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/placeholders.hpp"
#include "base/text.hpp"
#include "config_checks/text_faults.hpp"
#include "text_rules_by_place.hpp"
#include "welcome/greeting_text.hpp"

namespace Bellwright {
namespace {

using ConfigCheck::TextRule;

const TextRule& RuleFor(std::string_view pattern) {
  return TextRuleAt(pattern);
}

std::vector<std::string> TextsOf(std::span<const std::string_view> pieces, int longest) {
  std::vector<std::string> texts = {""};
  std::vector<std::string> previous = texts;
  for (int length = 1; length <= longest; ++length) {
    std::vector<std::string> longer;
    for (const std::string& text : previous) {
      for (const std::string_view piece : pieces) {
        longer.push_back(text + std::string(piece));
      }
    }
    texts.insert(texts.end(), longer.begin(), longer.end());
    previous = std::move(longer);
  }
  return texts;
}

// What the delivery does with a text: format it once, or send nothing.
bool Delivers(const FString& text) {
  try {
    static_cast<void>(FString::Format(text));
    return true;
  } catch (...) {
    return false;
  }
}

bool ChecksDeliver(std::string_view text, const TextRule& rule) {
  return !ConfigCheck::CheckText(text, rule).has_value();
}

TEST(TextChecksAgreeWithThePlugIn, OnWelcomeTexts) {
  constexpr std::string_view kPieces[] = {"{",
                                          "}",
                                          "0",
                                          ":",
                                          ">",
                                          "1",
                                          "{PlayerName}",
                                          "{PlayerCount}",
                                          "PlayerName",
                                          "x",
                                          "{ServerName}",
                                          "{PlayerCount",
                                          "|a|b}"};
  const TextRule& rule = RuleFor("/Bellwright/WelcomeMessage/Message");
  for (const std::string& text : TextsOf(kPieces, 4)) {
    const bool delivered =
        Delivers(FromUtf8(GreetingTemplate(text, "Ce{n}ter").Build("Na{m}e", 3)));
    EXPECT_EQ(ChecksDeliver(text, rule), delivered) << text;
  }
}

TEST(TextChecksAgreeWithThePlugIn, OnWelcomeFieldWidths) {
  const TextRule& rule = RuleFor("/Bellwright/WelcomeMessage/GroupMessages/*/Message");
  for (const std::string text :
       {"{0:>1000}", "{0:>1001}", "{0:.1000}", "{0:.01001}", "{PlayerCount:>999}",
        "{PlayerCount:>99999}", "{{0:>5000}} {0}", "{0:1>5}", "{0:>{PlayerCount}}",
        "{ServerName:>1000}", "{ServerName:>1001}", "{PlayerCount|a1001|b1001}",
        "{0:{PlayerCount|<|b}5}", "{0:{PlayerCount|a|<}5}"}) {
    const bool delivered = Delivers(FromUtf8(GreetingTemplate(text).Build("Name", 3)));
    EXPECT_EQ(ChecksDeliver(text, rule), delivered) << text;
  }
}

void ExpectAgreementOnFilledTexts(std::string_view pattern,
                                  std::span<const std::u16string_view> names,
                                  std::span<const std::string_view> pieces) {
  const TextRule& rule = RuleFor(pattern);
  constexpr std::array<std::u16string_view, 2> kSamples{u"a{b}", u"}{"};
  std::vector<std::u16string_view> values;
  for (std::size_t index = 0; index < names.size(); ++index) {
    values.push_back(kSamples[index % kSamples.size()]);
  }
  for (const std::string& text : TextsOf(pieces, 4)) {
    const FString configured = FromUtf8(text);
    const PlaceholderText fields(configured, names);
    EXPECT_EQ(ChecksDeliver(text, rule), Delivers(fields.Fill(values))) << text;
  }
}

TEST(TextChecksAgreeWithThePlugIn, OnTextsWithPlayerFields) {
  constexpr std::string_view kPieces[] = {
      "{", "}", "0", ":>5", "x", "{PlayerName}", "{PlayerCount}", "PlayerName"};
  ExpectAgreementOnFilledTexts("/TimedMessages/Messages/*/MessageToSend", kPlayerPlaceholderNames,
                               kPieces);
  ExpectAgreementOnFilledTexts("/CustomCommands/*/Message", kPlayerPlaceholderNames, kPieces);
}

TEST(TextChecksAgreeWithThePlugIn, OnTheCooldownLine) {
  constexpr std::u16string_view kNames[] = {u"Seconds", u"Command"};
  constexpr std::string_view kPieces[] = {"{",         "}",       "x",  "{Seconds}",
                                          "{Command}", "Command", "{0}"};
  ExpectAgreementOnFilledTexts("/CooldownMessage", kNames, kPieces);
}

// The countdown fills {Minutes}, then the player fields, each pass leaving the other's
// fields as they stand: the same as filling all three at once.
TEST(TextChecksAgreeWithThePlugIn, OnTheCountdownTexts) {
  constexpr std::u16string_view kNames[] = {u"Minutes", u"PlayerName", u"PlayerCount"};
  constexpr std::string_view kPieces[] = {"{",       "}",  "x", "{Minutes}", "{PlayerName}",
                                          "Minutes", "{0}"};
  ExpectAgreementOnFilledTexts("/Countdown/MessageToSend", kNames, kPieces);
  ExpectAgreementOnFilledTexts("/Countdown/FinalMessage", kNames, kPieces);
}

}  // namespace
}  // namespace Bellwright
