#pragma once

#include <cstddef>
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

struct ReadResult {
  nlohmann::json document;
  std::optional<SyntaxError> syntax_error;
  bool too_deep = false;
};

// Reads `text` the way the plug-in's reader does (a byte order mark is skipped, text
// after the first value is not read, the last of two equal keys wins), but without
// building containers nested deeper than `max_depth`: no setting lives that deep,
// and deeper documents would cost the checks their stack.
ReadResult ReadConfigDocument(std::string_view text, std::size_t max_depth);

}  // namespace Bellwright::ConfigCheck
