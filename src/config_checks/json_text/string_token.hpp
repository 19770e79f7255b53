#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// JSON string literals as they stand in the file, escapes and all.
namespace Bellwright::ConfigCheck {

// The offset just past the closing quote of the literal whose opening quote is at
// `quote`, or the end of the text when it is not closed.
std::size_t StringLiteralEnd(std::string_view text, std::size_t quote);

// The offset in the file of the byte that is byte `decoded_offset` of the literal's
// decoded text; an escape stands at its backslash.
std::size_t OffsetOfDecodedByte(std::string_view text, std::size_t quote,
                                std::size_t decoded_offset);

// The decoded text of a literal (quotes included in `literal`); the literal itself,
// without quotes, if it does not decode.
std::string DecodeStringLiteral(std::string_view literal);

}  // namespace Bellwright::ConfigCheck
