#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "base/byte_color.hpp"

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

// The one conversion of a configured colour number: a fraction is truncated toward
// zero, a number beyond the 32-bit range counts as 0 (where a plain cast would be
// undefined), and only the low 8 bits count once it becomes a ByteColor.
int ColorComponentFromNumber(double number);

// A colour member as the configuration holds it: integers keep their low bits, as
// the library's typed read of an integer does; floats go through
// ColorComponentFromNumber. Strict: another JSON type throws the library's error.
int ColorComponentOf(const nlohmann::json& member);

// A colour object with integer members "R", "G", "B" (each default 0), alpha 255.
// Strict.
ByteColor ColorFromObject(const nlohmann::json& colour_object);

// The same, lenient: a colour that is not an object, or a member that is not a
// number, reads as 0.
ByteColor ColorFromObjectOr(const nlohmann::json& colour_object);

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

// Lenient whole number: a number's fraction is truncated toward zero and the result
// held to [lowest, highest], so no configured value reaches an undefined conversion;
// `fallback` when the key is absent or holds anything but a number.
long long WholeNumberOr(const nlohmann::json& object, std::string_view key, long long fallback,
                        long long lowest, long long highest);

// Lenient section: an empty object unless `object[key]` is an object.
const nlohmann::json& SectionOrEmpty(const nlohmann::json& object, std::string_view key);

}  // namespace Bellwright::Settings
