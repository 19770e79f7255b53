#include "config/setting_reader.hpp"

#include <gtest/gtest.h>

#include "config/colour_reader.hpp"
#include "config_checks/report.hpp"
#include "config_reading.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

const ColourWrongTypes kUnread{{Severity::kError, "unread"}, {Severity::kError, "unread"}};

std::optional<ByteColor> ColorFromObject(json object) {
  ReadingOf reading(std::move(object));
  return StrictColour(reading.Value(), kUnread);
}

TEST(ColorFromObject, ReadsIntegersWithTheirLowBitsAndTruncatesFractions) {
  struct Case {
    json object;
    ByteColor expected;
  };
  const Case cases[] = {
      {json::object(), MakeByteColor(0, 0, 0)},
      {{{"R", 300}, {"G", -1}, {"B", 12.9}}, MakeByteColor(44, 255, 12)},
      {{{"R", 1e20}, {"G", -1e20}, {"B", 4294967296.0 + 7}}, MakeByteColor(0, 0, 0)},
      {{{"R", 4294967296LL + 7}}, MakeByteColor(7, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(ColorFromObject(c.object), c.expected) << c.object;
}

// The JSON library's typed read refuses them: the colour cannot be read.
TEST(ColorFromObject, WrongTypesRaiseTheLibrarysTypeError) {
  EXPECT_EQ(ColorFromObject(json{{"R", "red"}}), std::nullopt);
  EXPECT_EQ(ColorFromObject(json{{"R", nullptr}}), std::nullopt);
  EXPECT_EQ(ColorFromObject(json::array({1, 2, 3})), std::nullopt);
}

TEST(LenientReads, FallBackOnAbsentKeysWrongTypesAndNonObjects) {
  ReadingOf section(json{{"On", true}, {"Text", 5}, {"Inner", {{"A", 1}}}});
  const WrongType unread{Severity::kError, "unread"};
  EXPECT_TRUE(section.Member("On").ValueOr<bool>(false, unread));
  EXPECT_EQ(section.Member("Text").ValueOr<std::string>("fallback", unread), "fallback");
  EXPECT_EQ(section.Member("Missing").ValueOr<int>(7, unread), 7);
  ReadingOf array(json::array());
  EXPECT_EQ(array.Member("On").ValueOr<int>(3, unread), 3);
  EXPECT_EQ(*section.Member("Inner").Json(), (json{{"A", 1}}));
  EXPECT_FALSE(section.Member("Text").IsObject());
  ReadingOf null(json(nullptr));
  EXPECT_FALSE(null.Member("Inner").Present());
}

}  // namespace
}  // namespace Bellwright

namespace Bellwright {
namespace {

TEST(Section, ReadsADeeplyNestedMemberInPlaceWithoutOverflowingTheStack) {
  constexpr std::size_t kDepth = 200000;
  const ConfigSettings settings =
      ReadConfigText("{\"Bellwright\": {\"ServerMessageColor\": " + std::string(kDepth, '[') +
                     std::string(kDepth, ']') + "}}")
          .settings;
  EXPECT_EQ(settings.general.server_colour, std::nullopt);
}

}  // namespace
}  // namespace Bellwright

namespace Bellwright {
namespace {

TEST(WholeNumberOr, TruncatesClampsAndFallsBackOnOtherTypes) {
  ReadingOf section(json::parse(R"({"Int": 7, "Fraction": 2.9, "NegativeFraction": -2.9,
    "Negative": -3, "Huge": 1e300, "HugeNegative": -1e300, "Unsigned": 18446744073709551615,
    "Text": "5", "Bool": true, "Null": null, "Array": [1]})"));
  const WrongType unread{Severity::kError, "unread", kNumbersOnly};
  const auto read = [&](const char* key) {
    return section.Member(key).WholeNumberOr(42, -10, 1000, unread);
  };
  EXPECT_EQ(read("Int"), 7);
  EXPECT_EQ(read("Fraction"), 2);
  EXPECT_EQ(read("NegativeFraction"), -2);
  EXPECT_EQ(read("Negative"), -3);
  EXPECT_EQ(read("Huge"), 1000);
  EXPECT_EQ(read("HugeNegative"), -10);
  EXPECT_EQ(read("Unsigned"), 1000);
  for (const char* other : {"Text", "Bool", "Null", "Array", "Missing"}) {
    EXPECT_EQ(read(other), 42) << other;
  }
  ReadingOf array(json::array());
  EXPECT_EQ(array.Member("Int").WholeNumberOr(42, 0, 1, unread), 42);
  EXPECT_EQ(section.Member("Negative").WholeNumberOr(5, 0, 100, unread), 0);
}

}  // namespace
}  // namespace Bellwright

namespace Bellwright {
namespace {

// What a judge says of one value, and whether the reader takes it.
struct Judged {
  bool taken;
  std::string message;  // empty: no finding
};

Judged JudgeOne(const json& value, JsonKind kind, const WrongType& wrong, const json& fallback) {
  ReadingOf reading(json{{"k", value}});
  const SettingValue member = reading.Member("k");
  const bool taken = member.Judge(kind, wrong, fallback);
  std::string message;
  for (const ConfigCheck::Finding& finding : reading.TakeFindings()) {
    message = std::string(ConfigCheck::SeverityName(finding.severity)) + ": " + finding.message;
  }
  return {taken, message};
}

TEST(SettingValueJudge, SaysWhatAValueOfTheWrongTypeCostsAndTakesWhatTheLibraryReads) {
  const WrongType lost{kError, "it is lost"};
  const WrongType defaulted{kError, "it is ignored, so $default is used"};
  const WrongType numbers_only{kError, "it is lost", kNumbersOnly};
  const WrongType unread{kWarning, "nothing reads it", true, true};
  const struct {
    json value;
    JsonKind kind;
    WrongType wrong;
    json fallback;
    Judged judged;
  } cases[] = {
      {"text", JsonKind::kString, lost, nullptr, {true, ""}},
      {5,
       JsonKind::kString,
       lost,
       nullptr,
       {false, "error: is a number, not a string: it is lost"}},
      {"x",
       JsonKind::kBoolean,
       defaulted,
       false,
       {false, "error: is a string, not true or false: it is ignored, so false is used"}},
      {"true",
       JsonKind::kBoolean,
       lost,
       nullptr,
       {false, "error: is a string, not true or false: it is lost (write true without quotes)"}},
      {"600",
       JsonKind::kWholeNumber,
       lost,
       nullptr,
       {false, "error: is a string, not a whole number: it is lost (write 600 without quotes)"}},
      {2.5,
       JsonKind::kWholeNumber,
       lost,
       nullptr,
       {true, "warning: 2.5 is read as 2: the fraction is dropped"}},
      {2.0, JsonKind::kWholeNumber, lost, nullptr, {true, ""}},
      {2.5, JsonKind::kComponent, lost, nullptr, {true, ""}},
      {2.5, JsonKind::kNumber, lost, nullptr, {true, ""}},
      {true,
       JsonKind::kNumber,
       lost,
       nullptr,
       {true, "warning: true is not a number: it reads as 1"}},
      {false,
       JsonKind::kWholeNumber,
       numbers_only,
       nullptr,
       {false, "error: is a boolean, not a whole number: it is lost"}},
      {json::array({1}), JsonKind::kStringArray, defaulted, json::array({"a"}), {true, ""}},
      {"a",
       JsonKind::kStringArray,
       defaulted,
       json::array({"a"}),
       {false, "error: is a string, not an array of strings: it is ignored, so [\"a\"] is used"}},
      {nullptr,
       JsonKind::kNumberArray,
       defaulted,
       nullptr,
       {false, "error: is null, not an array of numbers: it is ignored, so its default is used"}},
      {json::object(),
       JsonKind::kArray,
       lost,
       nullptr,
       {false, "error: is an object, not an array: it is lost"}},
      {"x",
       JsonKind::kNumber,
       unread,
       nullptr,
       {false, "warning: is a string, not a number; nothing reads it"}},
  };
  for (const auto& c : cases) {
    const Judged judged = JudgeOne(c.value, c.kind, c.wrong, c.fallback);
    EXPECT_EQ(judged.taken, c.judged.taken) << c.value;
    EXPECT_EQ(judged.message, c.judged.message) << c.value;
  }
}

TEST(SettingValueChoices, ReadsAnyStringAndNamesTheSpellingMeant) {
  constexpr std::string_view kDays[] = {"Mon", "Tue"};
  const Choices days{kDays, kWarning, "a day", "it is skipped", "days"};
  const struct {
    json value;
    std::string read;
    std::string message;
  } cases[] = {
      {"Mon", "Mon", ""},
      {"mon", "mon",
       "warning: \"mon\" is not a day: it is skipped; the days are case-sensitive: write \"Mon\""},
      {"Sun", "Sun", "warning: \"Sun\" is not a day: it is skipped; use one of \"Mon\", \"Tue\""},
      {7, "Tue", "error: is a number, not a string: it is lost"},
  };
  for (const auto& c : cases) {
    ReadingOf reading(json{{"k", c.value}});
    EXPECT_EQ(reading.Member("k").ChoiceOr("Tue", {kError, "it is lost"}, days), c.read);
    std::string message;
    for (const ConfigCheck::Finding& finding : reading.TakeFindings()) {
      message = std::string(ConfigCheck::SeverityName(finding.severity)) + ": " + finding.message;
    }
    EXPECT_EQ(message, c.message) << c.value;
  }
}

}  // namespace
}  // namespace Bellwright
