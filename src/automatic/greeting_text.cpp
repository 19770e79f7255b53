#include "automatic/greeting_text.hpp"

#include <fmt/format.h>

#include "base/format_bounds.hpp"

namespace Bellwright {

std::string EscapeBraces(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char unit : text) {
    escaped += unit;
    if (unit == '{' || unit == '}') {
      escaped += unit;
    }
  }
  return escaped;
}

std::string BuildGreetingText(std::string_view message, std::string_view character_name) {
  if (!HasBoundedFormatFields(message)) {
    return std::string(message);
  }
  try {
    return fmt::format(fmt::runtime(message), EscapeBraces(character_name));
  } catch (const fmt::format_error&) {
    // A typo in the configured text must not take the welcome pass down; the
    // delivery's own brace rule decides whether the text can still go out.
    return std::string(message);
  }
}

}  // namespace Bellwright
