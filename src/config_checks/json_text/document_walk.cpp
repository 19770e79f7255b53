#include "config_checks/json_text/document_walk.hpp"

#include <charconv>
#include <vector>

#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

void Walk(const json& value, const std::string& pointer, const std::vector<std::string>& tokens,
          std::size_t depth, const std::function<void(const std::string&, const json&)>& visit) {
  if (depth == tokens.size()) {
    visit(pointer, value);
    return;
  }
  const std::string& token = tokens[depth];
  if (value.is_object()) {
    if (token == "*") {
      for (const auto& [key, member] : value.items()) {
        Walk(member, ChildPointer(pointer, key), tokens, depth + 1, visit);
      }
    } else if (const json* member = Member(value, token)) {
      Walk(*member, ChildPointer(pointer, token), tokens, depth + 1, visit);
    }
  } else if (value.is_array() && token == "*") {
    for (std::size_t index = 0; index < value.size(); ++index) {
      Walk(value[index], ChildPointer(pointer, index), tokens, depth + 1, visit);
    }
  }
}

}  // namespace

void ForEachMatch(const json& document, std::string_view pattern,
                  const std::function<void(const std::string&, const json&)>& visit) {
  Walk(document, std::string(), PointerTokens(pattern), 0, visit);
}

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
