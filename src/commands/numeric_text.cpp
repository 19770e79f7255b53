#include "commands/numeric_text.hpp"

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

int TextToInt(const FString& text) {
  return std::stoi(Widen(text));
}

float TextToFloat(const FString& text) {
  return std::stof(Widen(text));
}

}  // namespace Bellwright
