#include "config/colour_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_text.hpp"

namespace Bellwright {
namespace {

std::vector<std::string> Messages(const std::string& text) {
  std::vector<std::string> messages;
  for (const ConfigCheck::Finding& finding : ReadConfigText(text).report.findings) {
    messages.push_back(finding.pointer + ": " + finding.message);
  }
  return messages;
}

// A colour on the 0-1 scale is named back with the keys it was written with.
TEST(ColourReader, NamesTheColourMeantWithItsOwnKeys) {
  const std::vector<std::string> messages =
      Messages(R"({"Bellwright": {"ServerMessageColor": {"G": 0.5, "B": 1}}})");
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_EQ(messages[0],
            "/Bellwright/ServerMessageColor: a colour on the 0-1 scale: components run from 0 to "
            "255 and fractions are dropped, so this reads as 0, 1; for the colour meant, write "
            "\"G\": 128, \"B\": 255");
}

// What each reader makes of a colour with a component it cannot read: the send commands
// fail, the welcome reads it as 0, the countdown too, once the colour is an object.
TEST(ColourReader, StrictAndLenientReadsOfTheSameColour) {
  const ConfigSettings settings =
      ReadConfigText(R"({"Bellwright": {"ServerMessageColor": {"R": 9, "G": "x"},
        "WelcomeMessage": {"WelcomeMessageColour": {"R": 9, "G": "x"}}},
        "Countdown": {"MessageColour": {"R": 9, "G": "x"}}})")
          .settings;
  EXPECT_EQ(settings.general.server_colour, std::nullopt);
  EXPECT_EQ(settings.welcome.colour, MakeByteColor(9, 0, 0));
  EXPECT_EQ(settings.countdown.look.colour, MakeByteColor(9, 0, 0));
  EXPECT_EQ(
      ReadConfigText(R"({"Countdown": {"MessageColour": "red"}})").settings.countdown.look.colour,
      MakeByteColor(255, 64, 64));
}

}  // namespace
}  // namespace Bellwright
