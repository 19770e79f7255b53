#pragma once

#include <string>
#include <string_view>

namespace Bellwright::Storage {

// Bytes as a hexadecimal literal, X'...': whatever they hold (quotes, backslashes, NULs,
// text in any encoding), they stay a value in the statement and reach the table as
// they are.
inline std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex = "X'";
  hex.reserve(bytes.size() * 2 + 3);
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    hex += kDigits[value >> 4];
    hex += kDigits[value & 0xf];
  }
  hex += '\'';
  return hex;
}

}  // namespace Bellwright::Storage
