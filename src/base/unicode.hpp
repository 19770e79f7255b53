#pragma once

#include <string>
#include <string_view>

// Conversions between the engine's UTF-16 text and UTF-8, shared by the plug-in and
// the sandbox host (each links its own copy; nothing crosses the host boundary).
namespace Bellwright::Unicode {

// An unpaired surrogate becomes U+FFFD: engine text may hold one, and UTF-8 cannot.
std::string Utf16ToUtf8(std::u16string_view units);

// Invalid sequences become U+FFFD, as the host's decoder does.
std::u16string Utf8ToUtf16(std::string_view bytes);

}  // namespace Bellwright::Unicode
