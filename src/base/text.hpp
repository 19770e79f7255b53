#pragma once

#include <string>
#include <string_view>

#include "host/fstring.hpp"

namespace Bellwright {

// Engine text as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const FString& text);

// UTF-8 (configuration text, command lines) as engine text, through the host's
// decoder, so that the plug-in decodes exactly as the host does.
FString FromUtf8(std::string_view text);

}  // namespace Bellwright
