#include <gtest/gtest.h>

#include <cmath>

#include "base/byte_color.hpp"
#include "base/srgb.hpp"

namespace Bellwright {
namespace {

TEST(ByteColor, KeepsOnlyTheLowEightBitsAndOpaqueAlpha) {
  struct Case {
    int red, green, blue;
    ByteColor expected;
  };
  const Case cases[] = {
      {255, 128, 0, {0, 128, 255, 255}},
      {300, 0, 0, {0, 0, 44, 255}},
      {-1, 256, 511, {255, 0, 255, 255}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeByteColor(c.red, c.green, c.blue), c.expected) << c.red << "," << c.green;
  }
}

TEST(ByteColor, MemoryOrderIsBlueGreenRedAlpha) {
  const ByteColor color = MakeByteColor(1, 2, 3);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&color);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[1], 2);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[3], 255);
}

TEST(LinearColor, DecodesSrgbAndKeepsAlphaLinear) {
  const FLinearColor linear = ToLinearColor(MakeByteColor(255, 128, 0));
  EXPECT_FLOAT_EQ(linear.R, 1.0F);
  EXPECT_NEAR(linear.G, 0.2159, 1e-4);
  EXPECT_FLOAT_EQ(linear.B, 0.0F);
  EXPECT_FLOAT_EQ(linear.A, 1.0F);
}

TEST(LinearColor, TableMatchesTheStandardFormulaOnBothSidesOfTheKnee) {
  for (int v : {1, 10, 11, 12, 64, 200, 254}) {
    const double c = v / 255.0;
    const double expected = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    EXPECT_NEAR(kSrgbToLinear[static_cast<std::size_t>(v)], expected, 1e-12) << v;
  }
}

// What the game shows is the sRGB encoding of the linear colour it was handed, so a
// configured value must come back as itself, also through the host's 32-bit floats.
TEST(LinearColor, EveryByteRoundTripsThroughTheHostsFloat) {
  for (int v = 0; v < 256; ++v) {
    const auto linear = static_cast<float>(kSrgbToLinear[static_cast<std::size_t>(v)]);
    EXPECT_EQ(LinearToSrgbByte(linear), v);
  }
  EXPECT_EQ(LinearToSrgbByte(-0.5), 0);
  EXPECT_EQ(LinearToSrgbByte(7.0), 255);
  EXPECT_EQ(LinearToSrgbByte(std::nan("")), 0);
}

}  // namespace
}  // namespace Bellwright
