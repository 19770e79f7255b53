#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config_checks/json_text/document_reader.hpp"
#include "config_checks/json_text/line_map.hpp"

namespace Bellwright::ConfigCheck {

struct SyntaxCause {
  std::size_t offset = 0;  // the character to point at
  std::string words;       // the cause in plain words, with the fix where it is plain
};

// Turns the JSON library's report into what an administrator can act on: a trailing
// comma named as one, an unclosed string, a comment, a missing comma, ...
SyntaxCause ExplainSyntaxError(std::string_view text, const SyntaxError& error,
                               const LineMap& lines);

}  // namespace Bellwright::ConfigCheck
