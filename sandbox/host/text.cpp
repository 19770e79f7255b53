#include "text.hpp"

#include <utf8.h>

#include <iterator>

namespace Sandbox {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string ToUtf8(const FString& text) {
  const std::u16string& units = text.Wide();
  std::string out;
  out.reserve(units.size());
  for (std::size_t index = 0; index < units.size(); ++index) {
    char32_t code_point = units[index];
    if (IsHighSurrogate(code_point) && index + 1 < units.size() &&
        IsLowSurrogate(units[index + 1])) {
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (units[index + 1] - 0xDC00);
      ++index;
    } else if (IsHighSurrogate(code_point) || IsLowSurrogate(code_point)) {
      code_point = kReplacement;
    }
    utf8::append(code_point, std::back_inserter(out));
  }
  return out;
}

FString FromUtf8(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  if (utf8::is_valid(text.begin(), text.end())) {
    utf8::unchecked::utf8to16(text.begin(), text.end(), std::back_inserter(wide));
    return FString(std::move(wide));
  }
  std::string valid;
  utf8::replace_invalid(text.begin(), text.end(), std::back_inserter(valid), kReplacement);
  utf8::unchecked::utf8to16(valid.begin(), valid.end(), std::back_inserter(wide));
  return FString(std::move(wide));
}

FString FirstWord(const FString& line) {
  const std::u16string& units = line.Wide();
  const std::size_t start = units.find_first_not_of(u' ');
  if (start == std::u16string::npos) {
    return {};
  }
  const std::size_t end = units.find(u' ', start);
  return FString(units.substr(start, end == std::u16string::npos ? end : end - start));
}

}  // namespace Sandbox
