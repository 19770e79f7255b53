#include "views/terminal_theme.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

namespace Sandbox {
namespace {

TEST(TerminalTheme, ReadsTheBackgroundFromColorFgBg) {
  struct Case {
    const char* value;
    std::optional<Theme> theme;
  };
  const Case cases[] = {
      {"15;0", Theme::kDark},
      {"0;15", Theme::kLight},
      {"0;7", Theme::kLight},
      {"7;0", Theme::kDark},
      {"0;default;15", Theme::kLight},
      {"12;8", Theme::kDark},
      {"15;default", std::nullopt},
      {"15", std::nullopt},
      {"", std::nullopt},
      {"0;-1", std::nullopt},
      {"0;15x", std::nullopt},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(ThemeFromColorFgBg(test.value), test.theme) << test.value;
  }
}

TEST(TerminalTheme, TheOptionWinsThenTheEnvironmentThenDark) {
  EXPECT_EQ(ChooseTheme(Theme::kDark, "0;15"), Theme::kDark);
  EXPECT_EQ(ChooseTheme(std::nullopt, "0;15"), Theme::kLight);
  EXPECT_EQ(ChooseTheme(std::nullopt, "nonsense"), Theme::kDark);
  EXPECT_EQ(ChooseTheme(std::nullopt, nullptr), Theme::kDark);
  EXPECT_EQ(ParseTheme("light"), Theme::kLight);
  EXPECT_EQ(ParseTheme("Light"), std::nullopt);
}

TEST(TerminalTheme, BandsTextTooCloseToTheBackground) {
  constexpr Rgb kWhite{255, 255, 255};
  constexpr Rgb kBlack{0, 0, 0};
  constexpr Rgb kYellow{255, 229, 0};
  constexpr Rgb kBlue{0, 0, 255};
  constexpr Rgb kRed{255, 0, 0};
  struct Case {
    Rgb text;
    Theme theme;
    bool banded;
  };
  const Case cases[] = {
      {kWhite, Theme::kDark, false},  {kWhite, Theme::kLight, true},
      {kBlack, Theme::kDark, true},   {kBlack, Theme::kLight, false},
      {kYellow, Theme::kLight, true}, {kYellow, Theme::kDark, false},
      {kBlue, Theme::kDark, true},    {kRed, Theme::kDark, false},
      {kRed, Theme::kLight, false},
  };
  for (const Case& test : cases) {
    const TerminalPaint paint = PaintOnTerminal(test.text, test.theme);
    EXPECT_EQ(paint.text, test.text);
    ASSERT_EQ(paint.band.has_value(), test.banded)
        << int(test.text.red) << "," << int(test.text.green) << "," << int(test.text.blue);
    if (paint.band) {
      // The band must make the text readable, whatever the terminal.
      EXPECT_GE(ContrastRatio(test.text, *paint.band), 4.5);
    }
  }
}

TEST(TerminalTheme, ColourOnlyForTerminalsWithoutNoColor) {
  int ends[2] = {-1, -1};
  ASSERT_EQ(::pipe(ends), 0);
  EXPECT_FALSE(ColourWanted(ends[1], nullptr));
  ::close(ends[0]);
  ::close(ends[1]);
  // A pseudo-terminal stands in for the administrator's terminal.
  const int controller = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(controller, 0);
  ASSERT_EQ(::grantpt(controller), 0);
  ASSERT_EQ(::unlockpt(controller), 0);
  const int terminal = ::open(::ptsname(controller), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  EXPECT_TRUE(ColourWanted(terminal, nullptr));
  EXPECT_TRUE(ColourWanted(terminal, ""));
  EXPECT_FALSE(ColourWanted(terminal, "1"));
  ::close(terminal);
  ::close(controller);
}

}  // namespace
}  // namespace Sandbox
