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

// One UTF-16 unit in lower case, as the engine folds letter case when it compares
// text: unit by unit, the same whatever locale the server process runs in. Surrogate
// halves stay as they are.
char16_t FoldCase(char16_t unit);

// The text folded unit by unit, as UTF-8: a key under which texts equal ignoring case
// are one. The second form writes into `out` (emptied first), so that a caller asking
// for many keys reuses one buffer.
std::string CaseFoldedUtf8(std::u16string_view units);
void CaseFoldedUtf8(std::u16string_view units, std::string& out);

// How WithControlsEscaped spells what it escapes.
enum class ControlSpelling {
  kHex,      // C0 and stray bytes \x1b, C1 \u009b (a terminal's view)
  kUnicode,  // C0 and C1 \u001B, stray bytes \xFF (a compiler-style line)
};

// UTF-8 text as one line that no terminal acts on: every C0 and C1 control character
// (line breaks, ESC, U+009B which opens a control sequence as ESC [ does) and every
// byte that is not UTF-8 (a terminal outside UTF-8 reads a lone 0x9B as that same
// control) written as an escape.
std::string WithControlsEscaped(std::string_view text, ControlSpelling spelling);

}  // namespace Bellwright::Unicode
