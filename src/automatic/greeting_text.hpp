#pragma once

#include <string>
#include <string_view>

namespace Bellwright {

// Doubles every brace, so that the text comes through the delivery's formatting
// exactly as written.
std::string EscapeBraces(std::string_view text);

// The greeting for a character: `message` (UTF-8) formatted with the name as its one
// argument ("{0}" as often as wanted, or "{}" once). The name is chosen by the
// player, so its braces are escaped and its characters kept as UTF-8; the message
// keeps its own brace rules. A message that is not a valid format text for one
// argument, or that asks for a field wider than kLongestFormatField, is returned as
// it stands.
std::string BuildGreetingText(std::string_view message, std::string_view character_name);

}  // namespace Bellwright
