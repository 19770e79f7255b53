#include "config/settings.hpp"

#include <gtest/gtest.h>

namespace Bellwright {
namespace {

using nlohmann::json;

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
  for (const Case& c : cases)
    EXPECT_EQ(Settings::ColorFromObject(c.object), c.expected) << c.object;
}

TEST(ColorFromObject, WrongTypesRaiseTheLibrarysTypeError) {
  EXPECT_THROW(Settings::ColorFromObject(json{{"R", "red"}}), json::type_error);
  EXPECT_THROW(Settings::ColorFromObject(json{{"R", nullptr}}), json::type_error);
  EXPECT_THROW(Settings::ColorFromObject(json::array({1, 2, 3})), json::type_error);
}

TEST(LenientReads, FallBackOnAbsentKeysWrongTypesAndNonObjects) {
  const json section = {{"On", true}, {"Text", 5}, {"Inner", {{"A", 1}}}};
  EXPECT_TRUE(Settings::ValueOr(section, "On", false));
  EXPECT_EQ(Settings::ValueOr<std::string>(section, "Text", "fallback"), "fallback");
  EXPECT_EQ(Settings::ValueOr(section, "Missing", 7), 7);
  EXPECT_EQ(Settings::ValueOr(json::array(), "On", 3), 3);
  EXPECT_EQ(Settings::SectionOrEmpty(section, "Inner"), (json{{"A", 1}}));
  EXPECT_EQ(Settings::SectionOrEmpty(section, "Text"), json::object());
  EXPECT_EQ(Settings::SectionOrEmpty(json(nullptr), "Inner"), json::object());
}

}  // namespace
}  // namespace Bellwright

namespace Bellwright {
namespace {

TEST(Section, ReadsADeeplyNestedMemberInPlaceWithoutOverflowingTheStack) {
  constexpr std::size_t kDepth = 200000;
  const auto document = nlohmann::json::parse(
      "{\"Bellwright\": {\"ServerMessageColor\": " + std::string(kDepth, '[') +
      std::string(kDepth, ']') + "}}");
  const nlohmann::json& section = Settings::Section(document, "Bellwright");
  EXPECT_THROW(Settings::ColorFromObject(Settings::Section(section, "ServerMessageColor")),
               nlohmann::json::type_error);
  EXPECT_EQ(&Settings::Section(document, "Bellwright"), &document["Bellwright"]);
}

}  // namespace
}  // namespace Bellwright

namespace Bellwright {
namespace {

TEST(WholeNumberOr, TruncatesClampsAndFallsBackOnOtherTypes) {
  const json section = json::parse(R"({"Int": 7, "Fraction": 2.9, "NegativeFraction": -2.9,
    "Negative": -3, "Huge": 1e300, "HugeNegative": -1e300, "Unsigned": 18446744073709551615,
    "Text": "5", "Bool": true, "Null": null, "Array": [1]})");
  const auto read = [&](const char* key) {
    return Settings::WholeNumberOr(section, key, 42, -10, 1000);
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
  EXPECT_EQ(Settings::WholeNumberOr(json::array(), "Int", 42, 0, 1), 42);
  EXPECT_EQ(Settings::WholeNumberOr(section, "Negative", 5, 0, 100), 0);
}

}  // namespace
}  // namespace Bellwright
