#include "automatic/greeting_text.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "base/format_bounds.hpp"

namespace Bellwright {
namespace {

constexpr std::string_view kPlayerNameField = "PlayerName";
constexpr std::string_view kPlayerCountField = "PlayerCount";

bool IsNamedField(std::string_view id) {
  return id == kPlayerNameField || id == kPlayerCountField;
}

// fmt also reaches named arguments by position, after the name: without this rule
// "{1}" or a second "{}" would name the player where they used to make the text
// invalid.
bool UsesOnlyTheNameByPosition(const std::vector<std::string_view>& ids) {
  const auto automatic = std::count(ids.begin(), ids.end(), std::string_view());
  const bool other_position = std::any_of(ids.begin(), ids.end(), [](std::string_view id) {
    return !id.empty() && id.front() >= '0' && id.front() <= '9' && id != "0";
  });
  return automatic <= 1 && !other_position;
}

std::string FormatGreeting(std::string_view message, std::string_view character_name,
                           int player_count) {
  const std::string name = EscapeBraces(character_name);
  const std::vector<std::string_view> ids = ReplacementFieldIds(message);
  if (std::none_of(ids.begin(), ids.end(), IsNamedField)) {
    return fmt::format(fmt::runtime(message), name);
  }
  if (!UsesOnlyTheNameByPosition(ids)) {
    return std::string(message);
  }
  return fmt::format(fmt::runtime(message), name, fmt::arg("PlayerName", name),
                     fmt::arg("PlayerCount", player_count));
}

}  // namespace

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

std::vector<std::string_view> ReplacementFieldIds(std::string_view format) {
  std::vector<std::string_view> ids;
  int depth = 0;
  for (std::size_t index = 0; index < format.size(); ++index) {
    const char unit = format[index];
    if (depth == 0 && (unit == '{' || unit == '}') && index + 1 < format.size() &&
        format[index + 1] == unit) {
      ++index;
    } else if (unit == '{') {
      ++depth;
      const std::size_t begin = index + 1;
      const std::size_t end = std::min(format.find_first_of(":{}", begin), format.size());
      ids.push_back(format.substr(begin, end - begin));
    } else if (unit == '}' && depth > 0) {
      --depth;
    }
  }
  return ids;
}

bool GreetingNamesPlayerCount(std::string_view message) {
  const std::vector<std::string_view> ids = ReplacementFieldIds(message);
  return std::find(ids.begin(), ids.end(), kPlayerCountField) != ids.end();
}

std::string BuildGreetingText(std::string_view message, std::string_view character_name,
                              int player_count) {
  if (!HasBoundedFormatFields(message)) {
    return std::string(message);
  }
  try {
    return FormatGreeting(message, character_name, player_count);
  } catch (const fmt::format_error&) {
    // A typo in the configured text must not take the welcome pass down; the
    // delivery's own brace rule decides whether the text can still go out.
    return std::string(message);
  }
}

}  // namespace Bellwright
