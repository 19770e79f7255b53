#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace Bellwright::ConfigCheck {

// Calls `visit` with the pointer and the value of every value of `document` that
// `pattern` matches ("*" stands for any member or element), in the document's order.
void ForEachMatch(const nlohmann::json& document, std::string_view pattern,
                  const std::function<void(const std::string&, const nlohmann::json&)>& visit);

// The value at `pointer`, or null when there is none.
const nlohmann::json* ValueAt(const nlohmann::json& document, std::string_view pointer);

// `object[key]` when `object` is an object that has it, else null.
const nlohmann::json* Member(const nlohmann::json& object, std::string_view key);

}  // namespace Bellwright::ConfigCheck
