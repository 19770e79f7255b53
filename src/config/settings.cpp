#include "config/settings.hpp"

#include <cmath>
#include <limits>
#include <string>

namespace Bellwright::Settings {

const nlohmann::json& MemberOr(const nlohmann::json& object, std::string_view key,
                               const nlohmann::json& fallback) {
  if (!object.is_object()) {
    throw nlohmann::json::type_error::create(
        306, std::string("cannot use value() with ") + object.type_name(), &object);
  }
  const auto found = object.find(key);
  return found == object.end() ? fallback : *found;
}

const nlohmann::json& Section(const nlohmann::json& object, std::string_view key) {
  static const nlohmann::json empty = nlohmann::json::object();
  return MemberOr(object, key, empty);
}

namespace {

// A number read as a 32-bit integer: a fraction is truncated toward zero, and a
// float beyond the range (where a plain cast is undefined) counts as 0. Any other
// JSON type throws the library's type error, as a typed read does.
int IntegerOf(const nlohmann::json& number) {
  if (!number.is_number_float()) return number.get<int>();
  const double truncated = std::trunc(number.get<double>());
  constexpr double kLowest = std::numeric_limits<int>::min();
  constexpr double kHighest = std::numeric_limits<int>::max();
  return truncated >= kLowest && truncated <= kHighest ? static_cast<int>(truncated) : 0;
}

int ColorComponent(const nlohmann::json& colour_object, const char* key) {
  if (!colour_object.is_object()) return colour_object.value(key, 0);  // the library's error
  const auto it = colour_object.find(key);
  return it == colour_object.end() ? 0 : IntegerOf(*it);
}

}  // namespace

ByteColor ColorFromObject(const nlohmann::json& colour_object) {
  return MakeByteColor(ColorComponent(colour_object, "R"), ColorComponent(colour_object, "G"),
                       ColorComponent(colour_object, "B"));
}

const nlohmann::json& SectionOrEmpty(const nlohmann::json& object, std::string_view key) {
  static const nlohmann::json empty = nlohmann::json::object();
  if (!object.is_object()) return empty;
  const auto it = object.find(key);
  return it != object.end() && it->is_object() ? *it : empty;
}

}  // namespace Bellwright::Settings
