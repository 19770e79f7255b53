#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Bellwright {

// Doubles every brace, so that the text comes through the delivery's formatting
// exactly as written.
std::string EscapeBraces(std::string_view text);

// The argument ids of a format text's replacement fields, nested fields of format
// specs included, in order; an automatic field ("{}") gives an empty id. Doubled
// braces are literal text.
std::vector<std::string_view> ReplacementFieldIds(std::string_view format);

// Whether a welcome message names the field {PlayerCount}, which costs a walk over the
// connected players to fill in.
bool GreetingNamesPlayerCount(std::string_view message);

// The greeting for a character: `message` (UTF-8) formatted with the name as its one
// argument ("{0}" as often as wanted, or "{}" once), and, in the same step, the named
// fields {PlayerName} (the name again) and {PlayerCount}. The name is chosen by the
// player, so its braces are escaped and its characters kept as UTF-8; the message
// keeps its own brace rules. A message that is not a valid format text for those
// arguments (a second positional argument included), or that asks for a field wider
// than kLongestFormatField, is returned as it stands.
std::string BuildGreetingText(std::string_view message, std::string_view character_name,
                              int player_count = 0);

}  // namespace Bellwright
