#pragma once

#include <array>

namespace Bellwright {

// The standard sRGB decoding (IEC 61966-2-1) of every 8-bit value, computed by the
// compiler: c / 12.92 up to 0.04045, ((c + 0.055) / 1.055)^2.4 above.
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

inline constexpr std::array<double, 256> kSrgbToLinear = srgb_detail::BuildTable();

}  // namespace Bellwright
