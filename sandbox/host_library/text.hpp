#pragma once

#include <string>
#include <string_view>

#include "host/fstring.hpp"

namespace Sandbox {

// The engine's UTF-16 text as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const FString& text);
// UTF-8 as the engine's text; invalid input becomes U+FFFD.
FString FromUtf8(std::string_view text);

// The first word of a command line (leading blanks skipped), as hosts match commands.
FString FirstWord(const FString& line);

}  // namespace Sandbox
