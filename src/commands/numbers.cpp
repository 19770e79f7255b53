#include "commands/numbers.hpp"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <string>

namespace Bellwright {
namespace {

// Only ASCII digits: the conversions that follow the test read no other.
bool IsDecimalDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

std::wstring Widen(const FString& text) {
  const std::u16string& units = text.Wide();
  return {units.begin(), units.end()};
}

}  // namespace

bool IsNumericText(const FString& token) {
  const std::u16string& units = token.Wide();
  if (units.empty()) {
    return false;
  }
  std::size_t position = 0;
  if (units[0] == u'-' || units[0] == u'+') {
    position = 1;
  }
  bool seen_point = false;
  for (; position < units.size(); ++position) {
    const char16_t unit = units[position];
    if (unit == u'.' && !seen_point) {
      seen_point = true;
    } else if (!IsDecimalDigit(unit)) {
      return false;
    }
  }
  return true;
}

// The C library's conversions are what std::stoi and std::stof are made of; calling
// them directly tells failure by value instead of by exception.
std::optional<int> TextToInt(const FString& text) {
  const std::wstring wide = Widen(text);
  wchar_t* end = nullptr;
  errno = 0;
  const long value = std::wcstol(wide.c_str(), &end, 10);
  if (end == wide.c_str() || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

std::optional<float> TextToFloat(const FString& text) {
  const std::wstring wide = Widen(text);
  wchar_t* end = nullptr;
  errno = 0;
  const float value = std::wcstof(wide.c_str(), &end);
  if (end == wide.c_str() || errno == ERANGE) {
    return std::nullopt;
  }
  return value;
}

}  // namespace Bellwright
