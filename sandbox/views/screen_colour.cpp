#include "views/screen_colour.hpp"

#include <algorithm>
#include <cmath>

#include "base/srgb.hpp"

namespace Sandbox {
namespace {

double RelativeLuminance(const Rgb& colour) {
  const auto& linear = Bellwright::kSrgbToLinear;
  return 0.2126 * linear[colour.red] + 0.7152 * linear[colour.green] + 0.0722 * linear[colour.blue];
}

}  // namespace

std::optional<Rgb> ShownColour(double red, double green, double blue) {
  if (std::isnan(red) || std::isnan(green) || std::isnan(blue)) {
    return std::nullopt;
  }
  return Rgb{Bellwright::LinearToSrgbByte(red), Bellwright::LinearToSrgbByte(green),
             Bellwright::LinearToSrgbByte(blue)};
}

double ContrastRatio(const Rgb& first, const Rgb& second) {
  const double one = RelativeLuminance(first);
  const double two = RelativeLuminance(second);
  return (std::max(one, two) + 0.05) / (std::min(one, two) + 0.05);
}

}  // namespace Sandbox
