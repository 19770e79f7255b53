#pragma once

#include <cstddef>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace Bellwright::ConfigCheck {

// Where and why the JSON library refused a text.
struct SyntaxError {
  std::size_t offset = 0;  // of the failing character; the text's size at its end
  std::string library_message;
  int library_error_id = 0;  // 101 syntax, 406 number out of range, ...
};

// The document, or null with the syntax error that stopped the reader.
struct ReadResult {
  nlohmann::json document;
  std::optional<SyntaxError> syntax_error;
  // The text nests deeper than the depth asked for; the document is null then too.
  bool too_deep = false;
};

inline constexpr std::size_t kAnyDepth = std::numeric_limits<std::size_t>::max();

// The one reading of a configuration text, for the plug-in, the checks and the fuzz
// targets alike: a byte order mark is skipped, text after the first value is not
// read, the last of two equal keys wins, comments are refused. With a `max_depth`,
// containers nested deeper are not built (the checks ask for this: no setting lives
// that deep, and deeper documents would cost them their stack), and a syntax error
// further on is still found. Never throws but for exhausted memory.
ReadResult ReadConfigDocument(std::string_view text, std::size_t max_depth = kAnyDepth);

}  // namespace Bellwright::ConfigCheck
