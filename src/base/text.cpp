#include "base/text.hpp"

#include <string>

#include "base/unicode.hpp"
#include "host/tools.hpp"

namespace Bellwright {

std::string ToUtf8(const FString& text) {
  return Unicode::Utf16ToUtf8(text.Wide());
}

FString FromUtf8(std::string_view text) {
  return FString(AsaApi::Tools::Utf8Decode(std::string(text)));
}

}  // namespace Bellwright
