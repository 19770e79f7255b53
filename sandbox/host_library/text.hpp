#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "host/fstring.hpp"

namespace Sandbox {

// The engine's UTF-16 text as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const FString& text);
// UTF-8 as the engine's text; invalid input becomes U+FFFD.
FString FromUtf8(std::string_view text);

// A path named by UTF-8 text (the sandbox's text everywhere, its command line's too),
// and back: the bytes themselves on Linux, UTF-16 on Windows, whose narrow file names
// would go through the ANSI code page.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

// The first word of a command line (leading blanks skipped), as hosts match commands.
FString FirstWord(const FString& line);

}  // namespace Sandbox
