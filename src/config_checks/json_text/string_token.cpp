#include "config_checks/json_text/string_token.hpp"

#include <nlohmann/json.hpp>

namespace Bellwright::ConfigCheck {
namespace {

std::size_t HexValue(std::string_view digits) {
  std::size_t value = 0;
  for (const char digit : digits) {
    value *= 16;
    if (digit >= '0' && digit <= '9') {
      value += static_cast<std::size_t>(digit - '0');
    } else if (digit >= 'a' && digit <= 'f') {
      value += static_cast<std::size_t>(digit - 'a' + 10);
    } else if (digit >= 'A' && digit <= 'F') {
      value += static_cast<std::size_t>(digit - 'A' + 10);
    }
  }
  return value;
}

// Bytes of the decoded text and of the file taken by the escape at `at` (a backslash).
struct EscapeSize {
  std::size_t decoded = 1;
  std::size_t raw = 2;
};

EscapeSize SizeOfEscape(std::string_view text, std::size_t at) {
  if (at + 1 >= text.size() || text[at + 1] != 'u' || at + 6 > text.size()) {
    return {};
  }
  const std::size_t unit = HexValue(text.substr(at + 2, 4));
  if (unit < 0x80) {
    return {1, 6};
  }
  if (unit < 0x800) {
    return {2, 6};
  }
  const bool high_surrogate = unit >= 0xD800 && unit <= 0xDBFF;
  if (high_surrogate && at + 12 <= text.size() && text[at + 6] == '\\' && text[at + 7] == 'u') {
    return {4, 12};  // the pair is one character of four bytes
  }
  return {3, 6};
}

}  // namespace

std::size_t StringLiteralEnd(std::string_view text, std::size_t quote) {
  for (std::size_t at = quote + 1; at < text.size(); ++at) {
    if (text[at] == '\\') {
      ++at;
    } else if (text[at] == '"') {
      return at + 1;
    }
  }
  return text.size();
}

std::size_t OffsetOfDecodedByte(std::string_view text, std::size_t quote,
                                std::size_t decoded_offset) {
  std::size_t decoded = 0;
  std::size_t at = quote + 1;
  while (at < text.size() && text[at] != '"') {
    const EscapeSize size = text[at] == '\\' ? SizeOfEscape(text, at) : EscapeSize{1, 1};
    if (decoded + size.decoded > decoded_offset) {
      return at;
    }
    decoded += size.decoded;
    at += size.raw;
  }
  return std::min(at, text.size());
}

std::string DecodeStringLiteral(std::string_view literal) {
  if (literal.find('\\') == std::string_view::npos) {
    return std::string(literal.substr(1, literal.size() >= 2 ? literal.size() - 2 : 0));
  }
  const auto decoded = nlohmann::json::parse(literal, nullptr, false);
  if (decoded.is_string()) {
    return decoded.get<std::string>();
  }
  return std::string(literal);
}

}  // namespace Bellwright::ConfigCheck
