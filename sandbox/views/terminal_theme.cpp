#include "views/terminal_theme.hpp"

#include <unistd.h>

#include <charconv>

namespace Sandbox {
namespace {

// Stand-ins for the background of a typical dark and light terminal profile.
constexpr Rgb kDarkBackground{24, 24, 24};
constexpr Rgb kLightBackground{255, 255, 255};
constexpr Rgb kLightBand{220, 220, 220};
constexpr Rgb kDarkBand{40, 40, 40};
// Below this contrast ratio ordinary text is hard to read; the web's guidelines ask
// 3 for large text, which is the least a glance at a transcript needs.
constexpr double kReadableContrast = 3.0;

}  // namespace

std::optional<Theme> ParseTheme(std::string_view name) {
  if (name == "dark") {
    return Theme::kDark;
  }
  if (name == "light") {
    return Theme::kLight;
  }
  return std::nullopt;
}

std::optional<Theme> ThemeFromColorFgBg(std::string_view value) {
  const std::string_view background = value.substr(value.rfind(';') + 1);
  int number = -1;
  const auto [end, error] =
      std::from_chars(background.data(), background.data() + background.size(), number);
  if (value.find(';') == std::string_view::npos || error != std::errc{} ||
      end != background.data() + background.size() || number < 0 || number > 255) {
    return std::nullopt;
  }
  return number == 7 || number == 15 ? Theme::kLight : Theme::kDark;
}

Theme ChooseTheme(std::optional<Theme> chosen, const char* colorfgbg) {
  if (chosen) {
    return *chosen;
  }
  if (colorfgbg != nullptr) {
    if (const auto told = ThemeFromColorFgBg(colorfgbg)) {
      return *told;
    }
  }
  return Theme::kDark;
}

TerminalPaint PaintOnTerminal(const Rgb& text, Theme theme) {
  const Rgb background = theme == Theme::kDark ? kDarkBackground : kLightBackground;
  if (ContrastRatio(text, background) >= kReadableContrast) {
    return {text, std::nullopt};
  }
  const bool light_band = ContrastRatio(text, kLightBand) >= ContrastRatio(text, kDarkBand);
  return {text, light_band ? kLightBand : kDarkBand};
}

bool ColourWanted(int descriptor, const char* no_color) {
  return ::isatty(descriptor) != 0 && (no_color == nullptr || *no_color == '\0');
}

}  // namespace Sandbox
