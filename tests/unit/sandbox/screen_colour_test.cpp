#include "views/screen_colour.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <string>

#include "base/srgb.hpp"
#include "views/event_fields.hpp"
#include "host_library/events.hpp"

namespace Sandbox {
namespace {

// A colour event as the host writes it: the linear float the plug-in handed over.
Event ColourEvent(double red, double green, double blue) {
  return Event{{"event", "server_message"},
               {"color",
                {FloatValue(static_cast<float>(red)), FloatValue(static_cast<float>(green)),
                 FloatValue(static_cast<float>(blue)), 1}}};
}

TEST(ScreenColour, EveryConfiguredValueIsShownAsConfigured) {
  // The plug-in decodes a configured 8-bit value to linear colour for the game, and
  // the game shows it encoded again: what the administrator configured.
  for (int value = 0; value < 256; ++value) {
    const double linear = Bellwright::kSrgbToLinear[static_cast<std::size_t>(value)];
    const auto shown = ShownColourField(ColourEvent(linear, linear, linear));
    ASSERT_TRUE(shown) << value;
    EXPECT_NEAR(shown->red, value, 1) << value;
    EXPECT_NEAR(shown->blue, value, 1) << value;
  }
}

TEST(ScreenColour, ShowsLinearValuesEncoded) {
  struct Case {
    double red, green, blue;
    Rgb shown;
  };
  const Case cases[] = {
      {0, 0, 0, {0, 0, 0}},
      {1, 1, 1, {255, 255, 255}},
      {0.5, 0.2158605, 0.0, {188, 128, 0}},
      // Out of range: clamped, as a colour on a screen is.
      {-1, 2, 255, {0, 255, 255}},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(ShownColour(test.red, test.green, test.blue), test.shown) << test.red;
  }
  EXPECT_FALSE(ShownColour(std::numeric_limits<double>::quiet_NaN(), 0, 0));
  // A colour the host received as NaN is written as a string, and has no colour.
  EXPECT_FALSE(ShownColourField(Event::parse(R"({"color":["nan",0,0,1]})")));
}

TEST(ScreenColour, MeasuresContrastLikeTheWebGuidelines) {
  EXPECT_DOUBLE_EQ(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio({255, 255, 255}, {0, 0, 0}), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio({90, 10, 200}, {90, 10, 200}), 1.0);
  EXPECT_NEAR(ContrastRatio({255, 0, 0}, {255, 255, 255}), 4.0, 0.01);
}

// The whole road: configured numbers through the plug-in, the host and the
// readable transcript, for the two kinds of message that carry a colour.
TEST(ScreenColour, ConfiguredColoursReachTheReadableTranscriptUnchanged) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("bellwright-colours-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const int colours[][3] = {{255, 128, 0}, {0, 170, 255}, {1, 2, 3}, {88, 101, 242}, {10, 10, 10}};
  {
    std::ofstream script(folder / "colours.script");
    script << "config <<END\n{}\nEND\nload\njoin A1 Alice\n";
    for (const auto& colour : colours) {
      script << "rcon bw.sendserver A1 \"server\" " << colour[0] << ' ' << colour[1] << ' '
             << colour[2] << '\n';
      script << "rcon bw.sendnotification A1 \"notice\" 1 5 " << colour[0] << ' ' << colour[1]
             << ' ' << colour[2] << " /Game/Icon\n";
    }
  }
  const std::string command = std::string(BELLWRIGHT_SANDBOX_EXE) + " --plugin " +
                              BELLWRIGHT_PLUGIN + " --dir " + folder.string() + " --script " +
                              (folder / "colours.script").string() + " --transcript human";
  std::string output;
  {
    FILE* const pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    for (std::size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      output.append(buffer, read);
    }
    EXPECT_EQ(::pclose(pipe), 0) << output;
  }
  std::filesystem::remove_all(folder);

  const std::regex shown(R"((server|notice) \[(\d+),(\d+),(\d+)\])");
  std::size_t index = 0;
  for (auto it = std::sregex_iterator(output.begin(), output.end(), shown);
       it != std::sregex_iterator(); ++it, ++index) {
    ASSERT_LT(index / 2, std::size(colours)) << output;
    const auto& colour = colours[index / 2];
    for (int component = 0; component < 3; ++component) {
      EXPECT_NEAR(std::stoi((*it)[component + 2]), colour[component], 1) << (*it)[0];
    }
  }
  EXPECT_EQ(index, 2 * std::size(colours)) << output;
}

}  // namespace
}  // namespace Sandbox
