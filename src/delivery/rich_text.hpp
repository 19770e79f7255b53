#pragma once

#include "base/byte_color.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// The game's chat markup for a coloured line: every non-empty line of `message`
// wrapped in a RichColor tag. Several lines each end in a line feed; a single line
// has none; a message with no lines gives an empty text.
FString BuildRichChatText(const FString& message, ByteColor color);

}  // namespace Bellwright
