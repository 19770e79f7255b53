#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace Bellwright::ConfigCheck {

class Findings;

// Whether `pointer` is a member of a colour object (whose fractions are the colour
// checks' business, not a type slip).
bool IsColourComponent(std::string_view pointer);

// Colour components outside 0-255 (and what they wrap to), colours written on the
// 0-1 scale, and custom-command colours with fewer than three numbers.
void CheckColours(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
