#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace Sandbox {

// One transcript event as a person reads it: the time, who it concerns, what kind of
// event it is and its text, in aligned columns, ending in a line feed. With `colour`,
// chat text takes its RichColor colours and server messages and notifications their
// own colour, as ANSI 24-bit escapes; without it the text is exactly what was sent.
// Control characters in texts are made visible, so no player can drive the terminal.
std::string FormatHumanEvent(const nlohmann::ordered_json& event, std::string_view time_text,
                             bool colour);

}  // namespace Sandbox
