#include "delivery/utf8.hpp"

#include <utf8.h>

#include <iterator>
#include <string>

#include "host/tools.hpp"

namespace Bellwright {

std::string ToUtf8(const FString& text) {
  std::string result;
  result.reserve(static_cast<std::size_t>(text.Len()));
  const std::u16string& units = text.Wide();
  for (auto it = units.begin(); it != units.end();) {
    const char16_t unit = *it++;
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    char32_t code_point = unit;
    if (high && it != units.end() && *it >= 0xDC00 && *it <= 0xDFFF) {
      code_point = 0x10000 + ((unit - 0xD800) << 10) + (*it++ - 0xDC00);
    } else if (high || low) {
      code_point = 0xFFFD;  // a lone surrogate cannot be written as UTF-8
    }
    utf8::append(code_point, std::back_inserter(result));
  }
  return result;
}

FString FromUtf8(std::string_view text) {
  return FString(AsaApi::Tools::Utf8Decode(std::string(text)));
}

}  // namespace Bellwright
