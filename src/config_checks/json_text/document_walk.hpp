#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace Bellwright::ConfigCheck {

// The value at `pointer`, or null when there is none.
const nlohmann::json* ValueAt(const nlohmann::json& document, std::string_view pointer);

// `object[key]` when `object` is an object that has it, else null.
const nlohmann::json* Member(const nlohmann::json& object, std::string_view key);

}  // namespace Bellwright::ConfigCheck
