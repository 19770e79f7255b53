#include "host_library/text.hpp"

#include "base/unicode.hpp"

namespace Sandbox {

std::string ToUtf8(const FString& text) {
  return Bellwright::Unicode::Utf16ToUtf8(text.Wide());
}

FString FromUtf8(std::string_view text) {
  return FString(Bellwright::Unicode::Utf8ToUtf16(text));
}

std::filesystem::path PathFromUtf8(std::string_view text) {
  return {std::u8string(text.begin(), text.end())};
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
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
