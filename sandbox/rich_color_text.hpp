#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Sandbox {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A stretch of chat text and the colour its RichColor tag gives it, if any.
struct ColouredSpan {
  std::string text;
  std::optional<Rgb> colour;

  friend bool operator==(const ColouredSpan&, const ColouredSpan&) = default;
};

// Converts the game's linear colour components (0 to 1) for a terminal, clamping
// what is out of range; nothing for NaN.
std::optional<Rgb> RgbFromLinear(double red, double green, double blue);

// Splits chat text at the game's `<RichColor Color="R, G, B, A">…</>` tags. A tag the
// game could not read stays in the text as it was, so nothing the player sent is lost.
std::vector<ColouredSpan> SplitRichColor(std::string_view text);

}  // namespace Sandbox
