#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "views/screen_colour.hpp"

namespace Sandbox {

// A stretch of chat text and the colour its RichColor tag gives it, if any.
struct ColouredSpan {
  std::string text;
  std::optional<Rgb> colour;

  friend bool operator==(const ColouredSpan&, const ColouredSpan&) = default;
};

// Splits chat text at the game's `<RichColor Color="R, G, B, A">…</>` tags. The values
// are linear colour, 0 to 1, which the game shows sRGB-encoded; each span carries the
// colour as shown. A tag the game could not read stays in the text as it was, so
// nothing the player sent is lost.
std::vector<ColouredSpan> SplitRichColor(std::string_view text);

// The chat text as plain words: the tags gone, each coloured stretch followed by its
// shown colour as "[R,G,B]", for readers without colour.
std::string PlainWords(std::string_view text);

// "[R,G,B]".
std::string ColourWords(const Rgb& colour);

}  // namespace Sandbox
