#pragma once

#include <optional>

#include "host/fstring.hpp"

namespace Bellwright {

// The test a trailing command-line token must pass to be taken as a number: one
// optional leading sign, then decimal digits with at most one "." among them. A
// lone sign or a lone "." passes although it does not convert; the conversion
// then fails and the command answers with its bad-number reply.
bool IsNumericText(const FString& token);

// Conversions with the rules of std::stoi and std::stof on the wide text: leading
// white space skipped, the longest number prefix read ("12.7" gives 12). Empty when
// there is no number or it does not fit the type.
std::optional<int> TextToInt(const FString& text);
std::optional<float> TextToFloat(const FString& text);

}  // namespace Bellwright
