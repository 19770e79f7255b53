#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "delivery/byte_color.hpp"

// Typed reads from the configuration. Two flavours, because the system answers a
// wrongly typed value in two ways: command handlers turn the library's type error
// into a failure reply (strict), the hooks and the welcome pass read the default
// instead (lenient).
namespace Bellwright::Settings {

// `object[key]` read in place, or `fallback` when absent. Reading in place matters:
// a copy recurses once per nesting level, so a deeply nested value in the file would
// overflow the stack. Strict: throws the library's type_error (306) when `object` is
// not an object, as json::value does.
const nlohmann::json& MemberOr(const nlohmann::json& object, std::string_view key,
                               const nlohmann::json& fallback);

// `object[key]`, or an empty object when absent. Strict, as MemberOr.
const nlohmann::json& Section(const nlohmann::json& object, std::string_view key);

// A colour object with integer members "R", "G", "B" (each default 0, low 8 bits
// kept), alpha 255. Strict.
ByteColor ColorFromObject(const nlohmann::json& colour_object);

// Lenient read: `fallback` when `object` is not an object, the key is absent, or
// the value has another JSON type.
template <typename T>
T ValueOr(const nlohmann::json& object, std::string_view key, T fallback) {
  if (!object.is_object()) return fallback;
  const auto it = object.find(key);
  if (it == object.end()) return fallback;
  try {
    return it->template get<T>();
  } catch (const nlohmann::json::exception&) {
    return fallback;
  }
}

// Lenient section: an empty object unless `object[key]` is an object.
const nlohmann::json& SectionOrEmpty(const nlohmann::json& object, std::string_view key);

}  // namespace Bellwright::Settings
