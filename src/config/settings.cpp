#include "config/settings.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace Bellwright::Settings {
namespace {

const nlohmann::json& EmptyObject() {
  static const nlohmann::json empty = nlohmann::json::object();
  return empty;
}

int ComponentOr(const nlohmann::json& colour_object, const char* key) {
  const auto it = colour_object.find(key);
  if (it == colour_object.end() || !(it->is_number() || it->is_boolean())) {
    return 0;
  }
  return ColorComponentOf(*it);
}

int ComponentStrict(const nlohmann::json& colour_object, const char* key) {
  if (!colour_object.is_object()) return colour_object.value(key, 0);  // the library's error
  const auto it = colour_object.find(key);
  return it == colour_object.end() ? 0 : ColorComponentOf(*it);
}

}  // namespace

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
  return MemberOr(object, key, EmptyObject());
}

int ColorComponentFromNumber(double number) {
  const double truncated = std::trunc(number);
  constexpr double kLowest = std::numeric_limits<int>::min();
  constexpr double kHighest = std::numeric_limits<int>::max();
  // NaN fails both comparisons and counts as 0 too.
  return truncated >= kLowest && truncated <= kHighest ? static_cast<int>(truncated) : 0;
}

int ColorComponentOf(const nlohmann::json& member) {
  if (member.is_number_float()) {
    return ColorComponentFromNumber(member.get<double>());
  }
  return member.get<int>();
}

ByteColor ColorFromObject(const nlohmann::json& colour_object) {
  return MakeByteColor(ComponentStrict(colour_object, "R"), ComponentStrict(colour_object, "G"),
                       ComponentStrict(colour_object, "B"));
}

ByteColor ColorFromObjectOr(const nlohmann::json& colour_object) {
  if (!colour_object.is_object()) {
    return MakeByteColor(0, 0, 0);
  }
  return MakeByteColor(ComponentOr(colour_object, "R"), ComponentOr(colour_object, "G"),
                       ComponentOr(colour_object, "B"));
}

long long WholeNumberOr(const nlohmann::json& object, std::string_view key, long long fallback,
                        long long lowest, long long highest) {
  if (!object.is_object()) return fallback;
  const auto it = object.find(key);
  if (it == object.end() || !it->is_number()) return fallback;
  if (it->is_number_integer()) {
    // Unsigned numbers past the signed range are as "too large" as any other.
    if (it->is_number_unsigned() &&
        it->get<unsigned long long>() > static_cast<unsigned long long>(highest)) {
      return highest;
    }
    return std::clamp(it->get<long long>(), lowest, highest);
  }
  const double truncated = std::trunc(it->get<double>());
  if (std::isnan(truncated)) return fallback;
  if (truncated <= static_cast<double>(lowest)) return lowest;
  if (truncated >= static_cast<double>(highest)) return highest;
  return static_cast<long long>(truncated);
}

const nlohmann::json& SectionOrEmpty(const nlohmann::json& object, std::string_view key) {
  if (!object.is_object()) return EmptyObject();
  const auto it = object.find(key);
  return it != object.end() && it->is_object() ? *it : EmptyObject();
}

}  // namespace Bellwright::Settings
