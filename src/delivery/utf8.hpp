#pragma once

#include <string>
#include <string_view>

#include "host/fstring.hpp"

namespace Bellwright {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD rather than failing.
std::string ToUtf8(const FString& text);
// UTF-8 to the engine's text, through the host's decoder.
FString FromUtf8(std::string_view text);

}  // namespace Bellwright
