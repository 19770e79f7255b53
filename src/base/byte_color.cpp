#include "base/byte_color.hpp"

#include "base/srgb.hpp"

namespace Bellwright {

FLinearColor ToLinearColor(ByteColor color) {
  constexpr float kInverse255 = 1.0F / 255.0F;
  return FLinearColor{
      static_cast<float>(kSrgbToLinear[color.R]), static_cast<float>(kSrgbToLinear[color.G]),
      static_cast<float>(kSrgbToLinear[color.B]), static_cast<float>(color.A) * kInverse255};
}

}  // namespace Bellwright
