#include "delivery/rich_text.hpp"

#include <fmt/format.h>

#include <array>
#include <string>

#include "base/text.hpp"

namespace Bellwright {
namespace {

// The markup takes 0-1 components; a colour whose red, green and blue are all at
// most 1 is taken to be given that way already, alpha included.
std::array<float, 4> MarkupComponents(ByteColor color) {
  std::array<float, 4> components{static_cast<float>(color.R), static_cast<float>(color.G),
                                  static_cast<float>(color.B), static_cast<float>(color.A)};
  if (color.R <= 1 && color.G <= 1 && color.B <= 1) return components;
  for (float& component : components) component /= 255.0F;
  return components;
}

}  // namespace

FString BuildRichChatText(const FString& message, ByteColor color) {
  TArray<FString> lines;
  message.ParseIntoArray(lines, u"\n", true);
  const auto [red, green, blue, alpha] = MarkupComponents(color);
  const char* line_end = lines.Num() > 1 ? "\n" : "";

  std::string markup;
  for (const FString& line : lines) {
    // Kept as UTF-8 so the line's own characters survive the narrow formatting.
    fmt::format_to(std::back_inserter(markup),
                   "<RichColor Color=\"{:g}, {:g}, {:g}, {:g}\">{}</>{}", static_cast<double>(red),
                   static_cast<double>(green), static_cast<double>(blue),
                   static_cast<double>(alpha), ToUtf8(line), line_end);
  }
  return FromUtf8(markup);
}

}  // namespace Bellwright
