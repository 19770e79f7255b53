#include <algorithm>
#include <string>

#include "delivery/delivery.hpp"

namespace Bellwright {

FString PlayerChosenText(const FString& text, MessageKind kind) {
  const std::u16string_view units = text.Wide();
  if (kind != MessageKind::kChat || std::none_of(units.begin(), units.end(), [](char16_t unit) {
        return unit == u'<' || unit == u'>';
      })) {
    return text;
  }
  std::u16string shown(units);
  std::replace(shown.begin(), shown.end(), u'<', u'\u2039');
  std::replace(shown.begin(), shown.end(), u'>', u'\u203A');
  return FString(std::move(shown));
}

}  // namespace Bellwright
