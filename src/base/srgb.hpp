#pragma once

#include <array>
#include <cmath>
#include <cstdint>

// The standard sRGB transfer function (IEC 61966-2-1). The plug-in hands the game
// linear colour decoded from configured 8-bit values; the game shows linear colour
// sRGB-encoded, which is what the sandbox must draw to show what players see.
namespace Bellwright {

namespace srgb_detail {

// x^(1/5) by Newton's method; x is in (0, 1], where it converges from 1.
constexpr double FifthRoot(double x) {
  double y = 1.0;
  for (int i = 0; i < 100; ++i) {
    const double y4 = y * y * y * y;
    y -= (y4 * y - x) / (5.0 * y4);
  }
  return y;
}

// c / 12.92 up to 0.04045, ((c + 0.055) / 1.055)^2.4 above; computed by the compiler.
constexpr double Decode(int value) {
  const double c = value / 255.0;
  if (c <= 0.04045) return c / 12.92;
  const double base = (c + 0.055) / 1.055;
  return base * base * FifthRoot(base * base);  // base^2.4 = base^2 * (base^2)^(1/5)
}

constexpr std::array<double, 256> BuildTable() {
  std::array<double, 256> table{};
  for (int v = 0; v < 256; ++v) table[static_cast<std::size_t>(v)] = Decode(v);
  return table;
}

}  // namespace srgb_detail

// The linear value of every 8-bit sRGB value.
inline constexpr std::array<double, 256> kSrgbToLinear = srgb_detail::BuildTable();

// The 8-bit sRGB value of a linear component (clamped to 0-1), the inverse of
// kSrgbToLinear: every 8-bit value round-trips to itself.
inline std::uint8_t LinearToSrgbByte(double linear) {
  if (!(linear > 0.0)) return 0;  // also NaN
  if (linear >= 1.0) return 255;
  const double encoded =
      linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
  return static_cast<std::uint8_t>(std::lround(encoded * 255.0));
}

}  // namespace Bellwright
