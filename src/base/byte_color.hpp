#pragma once

#include <cstdint>

#include "host/colors.hpp"

namespace Bellwright {

// Four 8-bit components, held in memory in the order blue, green, red, alpha.
struct ByteColor {
  std::uint8_t B = 0;
  std::uint8_t G = 0;
  std::uint8_t R = 0;
  std::uint8_t A = 0;

  friend bool operator==(const ByteColor&, const ByteColor&) = default;
};

// Only the low 8 bits of each number count (300 gives 44, -1 gives 255); alpha 255.
constexpr ByteColor MakeByteColor(int red, int green, int blue) {
  return ByteColor{static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                   static_cast<std::uint8_t>(red), 255};
}

// sRGB-decoded red, green and blue; linear alpha: what the host's messaging takes.
FLinearColor ToLinearColor(ByteColor color);

}  // namespace Bellwright
