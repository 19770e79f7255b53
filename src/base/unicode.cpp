#include "base/unicode.hpp"

#include <fmt/format.h>
#include <utf8.h>
#include <utf8proc.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace Bellwright::Unicode {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

char16_t FoldCase(char16_t unit) {
  if (unit < 0x80) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
  }
  if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
    return unit;
  }
  // The library's own Unicode tables: the same fold on every platform, whatever
  // locales the machine has installed.
  const utf8proc_int32_t folded = utf8proc_tolower(static_cast<utf8proc_int32_t>(unit));
  return folded <= 0xFFFF ? static_cast<char16_t>(folded) : unit;
}

std::string CaseFoldedUtf8(std::u16string_view units) {
  std::string out;
  CaseFoldedUtf8(units, out);
  return out;
}

void CaseFoldedUtf8(std::u16string_view units, std::string& out) {
  out.clear();
  // Player ids are ASCII: no conversion beyond the fold.
  const bool ascii =
      std::all_of(units.begin(), units.end(), [](char16_t unit) { return unit < 0x80; });
  if (ascii) {
    out.reserve(units.size());
    for (const char16_t unit : units) {
      out.push_back(static_cast<char>(FoldCase(unit)));
    }
    return;
  }
  std::u16string folded(units);
  for (char16_t& unit : folded) {
    unit = FoldCase(unit);
  }
  out = Utf16ToUtf8(folded);
}

std::string Utf16ToUtf8(std::u16string_view units) {
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

std::string WithControlsEscaped(std::string_view text, ControlSpelling spelling) {
  const bool hex = spelling == ControlSpelling::kHex;
  std::string line;
  line.reserve(text.size());
  auto it = text.begin();
  while (it != text.end()) {
    const auto start = it;
    const auto byte = static_cast<unsigned char>(*it);
    if (byte < 0x80) {
      ++it;
      if (byte >= 0x20 && byte != 0x7F) {
        line += *start;
      } else {
        line += hex ? fmt::format("\\x{:02x}", byte) : fmt::format("\\u{:04X}", byte);
      }
      continue;
    }
    try {
      const char32_t code_point = utf8::next(it, text.end());
      if (code_point > 0x9F) {
        line.append(start, it);
      } else {
        const auto value = static_cast<std::uint32_t>(code_point);
        line += hex ? fmt::format("\\u{:04x}", value) : fmt::format("\\u{:04X}", value);
      }
    } catch (const utf8::exception&) {
      it = start + 1;
      line += hex ? fmt::format("\\x{:02x}", byte) : fmt::format("\\x{:02X}", byte);
    }
  }
  return line;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size());
  // Configuration text is almost always valid: skip the repairing copy then.
  if (utf8::is_valid(bytes.begin(), bytes.end())) {
    utf8::unchecked::utf8to16(bytes.begin(), bytes.end(), std::back_inserter(units));
    return units;
  }
  std::string valid;
  utf8::replace_invalid(bytes.begin(), bytes.end(), std::back_inserter(valid), kReplacement);
  utf8::unchecked::utf8to16(valid.begin(), valid.end(), std::back_inserter(units));
  return units;
}

}  // namespace Bellwright::Unicode
