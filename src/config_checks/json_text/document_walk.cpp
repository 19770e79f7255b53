#include "config_checks/json_text/document_walk.hpp"

#include <charconv>
#include <vector>

#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
using nlohmann::json;

const json* Member(const json& object, std::string_view key) {
  if (!object.is_object()) {
    return nullptr;
  }
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

const json* ValueAt(const json& document, std::string_view pointer) {
  const json* value = &document;
  for (const std::string& token : PointerTokens(pointer)) {
    if (value->is_object()) {
      value = Member(*value, token);
    } else if (value->is_array()) {
      std::size_t index = 0;
      const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), index);
      if (error != std::errc() || end != token.data() + token.size() || index >= value->size()) {
        return nullptr;
      }
      value = &(*value)[index];
    } else {
      return nullptr;
    }
    if (value == nullptr) {
      return nullptr;
    }
  }
  return value;
}

}  // namespace Bellwright::ConfigCheck
