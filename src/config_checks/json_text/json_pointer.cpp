#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {

std::string ChildPointer(std::string_view parent, std::string_view key) {
  std::string pointer(parent);
  pointer.reserve(parent.size() + key.size() + 1);
  pointer += '/';
  for (const char unit : key) {
    if (unit == '~') {
      pointer += "~0";
    } else if (unit == '/') {
      pointer += "~1";
    } else {
      pointer += unit;
    }
  }
  return pointer;
}

std::string ChildPointer(std::string_view parent, std::size_t index) {
  return std::string(parent) + '/' + std::to_string(index);
}

std::vector<std::string> PointerTokens(std::string_view pointer) {
  std::vector<std::string> tokens;
  if (pointer.empty()) {
    return tokens;
  }
  std::string token;
  for (std::size_t at = 1; at <= pointer.size(); ++at) {
    if (at == pointer.size() || pointer[at] == '/') {
      tokens.push_back(std::move(token));
      token.clear();
    } else if (pointer[at] == '~' && at + 1 < pointer.size()) {
      token += pointer[at + 1] == '1' ? '/' : '~';
      ++at;
    } else {
      token += pointer[at];
    }
  }
  return tokens;
}

std::string ParentPointer(std::string_view pointer, std::size_t levels) {
  for (std::size_t level = 0; level < levels && !pointer.empty(); ++level) {
    pointer = pointer.substr(0, pointer.rfind('/'));
  }
  return std::string(pointer);
}

bool MatchesPattern(std::string_view pattern, std::string_view pointer) {
  const std::vector<std::string> wanted = PointerTokens(pattern);
  const std::vector<std::string> tokens = PointerTokens(pointer);
  if (wanted.size() != tokens.size()) {
    return false;
  }
  for (std::size_t index = 0; index < wanted.size(); ++index) {
    if (wanted[index] != "*" && wanted[index] != tokens[index]) {
      return false;
    }
  }
  return true;
}

std::string Quote(std::string_view text, std::size_t limit) {
  bool shortened = false;
  if (text.size() > limit) {
    std::size_t cut = limit;
    // Cut before a whole character, never inside one.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0U) == 0x80U) {
      --cut;
    }
    text = text.substr(0, cut);
    shortened = true;
  }
  std::string quoted = nlohmann::json(std::string(text))
                           .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  if (shortened) {
    quoted.insert(quoted.size() - 1, "...");
  }
  return quoted;
}

std::string TypePhrase(const nlohmann::json& value) {
  // The library's own names: "object", "array", "string", "boolean", "number".
  const std::string_view name = value.type_name();
  if (value.is_null()) {
    return "null";
  }
  return (name.starts_with('a') || name.starts_with('o') ? "an " : "a ") + std::string(name);
}

}  // namespace Bellwright::ConfigCheck
