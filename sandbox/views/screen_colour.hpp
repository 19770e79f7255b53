#pragma once

#include <cstdint>
#include <optional>

namespace Sandbox {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The colour a player sees for a linear colour handed to the game: the game draws
// linear colour sRGB-encoded. Components are clamped to 0-1; nothing for NaN.
std::optional<Rgb> ShownColour(double red, double green, double blue);

// How far apart two colours are for a reader, from 1 (the same) to 21 (black on
// white), as the web's accessibility guidelines measure it.
double ContrastRatio(const Rgb& first, const Rgb& second);

}  // namespace Sandbox
