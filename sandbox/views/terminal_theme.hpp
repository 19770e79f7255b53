#pragma once

#include <optional>
#include <string_view>

#include "views/screen_colour.hpp"

namespace Sandbox {

// Whether the terminal draws on a dark or a light background.
enum class Theme { kDark, kLight };

// "dark" or "light"; nothing for any other name.
std::optional<Theme> ParseTheme(std::string_view name);

// The theme COLORFGBG tells ("15;0", "0;default;15"): its last field is the
// background's colour number, and 7 (light grey) and 15 (white) are light.
std::optional<Theme> ThemeFromColorFgBg(std::string_view value);

// The chosen theme, else what COLORFGBG (may be null) tells, else dark: most
// terminals start dark.
Theme ChooseTheme(std::optional<Theme> chosen, const char* colorfgbg);

// Text in a colour, on a band of another colour when the text alone would be hard to
// read on the terminal's background.
struct TerminalPaint {
  Rgb text;
  std::optional<Rgb> band;
};
TerminalPaint PaintOnTerminal(const Rgb& text, Theme theme);

// Whether output on this descriptor gets colour: it is a terminal and NO_COLOR
// (may be null) is unset or empty, as no-color.org asks.
bool ColourWanted(int descriptor, const char* no_color);

}  // namespace Sandbox
