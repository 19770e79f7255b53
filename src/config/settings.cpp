#include "config/settings.hpp"

namespace Bellwright::Settings {

nlohmann::json Section(const nlohmann::json& object, std::string_view key) {
  return object.value(key, nlohmann::json::object());
}

ByteColor ColorFromObject(const nlohmann::json& colour_object) {
  return MakeByteColor(colour_object.value("R", 0), colour_object.value("G", 0),
                       colour_object.value("B", 0));
}

const nlohmann::json& SectionOrEmpty(const nlohmann::json& object, std::string_view key) {
  static const nlohmann::json empty = nlohmann::json::object();
  if (!object.is_object()) return empty;
  const auto it = object.find(key);
  return it != object.end() && it->is_object() ? *it : empty;
}

}  // namespace Bellwright::Settings
