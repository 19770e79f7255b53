#include "views/display_width.hpp"

#include <utf8.h>

#ifdef _WIN32
#include <utf8proc.h>
#else
#include <locale.h>

#include <cwchar>
#endif

namespace Sandbox {
namespace {

constexpr std::string_view kEllipsis = "…";

#ifdef _WIN32

// Windows' C library has no character widths; utf8proc's tables give the same
// East Asian wide and zero-width classes.
int CodePointWidth(char32_t code_point) {
  return utf8proc_charwidth(static_cast<utf8proc_int32_t>(code_point));
}

#else

// The C library knows character widths only under a UTF-8 locale; this one is asked
// for the call alone, so the process's own locale stays as it is.
int CodePointWidth(char32_t code_point) {
  static const locale_t utf8_locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  if (utf8_locale == locale_t{}) {
    return 1;
  }
  const locale_t previous = ::uselocale(utf8_locale);
  const int width = ::wcwidth(static_cast<wchar_t>(code_point));
  ::uselocale(previous);
  return width < 0 ? 1 : width;
}

#endif

}  // namespace

std::size_t DisplayWidth(std::string_view text) {
  if (!utf8::is_valid(text.begin(), text.end())) {
    return text.size();
  }
  std::size_t width = 0;
  for (auto it = text.begin(); it != text.end();) {
    width += static_cast<std::size_t>(CodePointWidth(utf8::next(it, text.end())));
  }
  return width;
}

std::string FitWidth(std::string_view text, std::size_t width) {
  if (DisplayWidth(text) <= width) {
    return std::string(text);
  }
  if (width == 0) {
    return {};
  }
  const bool valid = utf8::is_valid(text.begin(), text.end());
  std::string kept;
  std::size_t used = 0;
  for (auto it = text.begin(); it != text.end();) {
    const auto start = it;
    const std::size_t columns =
        valid ? static_cast<std::size_t>(CodePointWidth(utf8::next(it, text.end()))) : (++it, 1);
    if (used + columns > width - 1) {
      break;
    }
    kept.append(start, it);
    used += columns;
  }
  // "Bartholomew…", not "Bartholomew …".
  while (!kept.empty() && kept.back() == ' ') {
    kept.pop_back();
  }
  return kept + std::string(kEllipsis);
}

}  // namespace Sandbox
