#include "welcome/greeting_text.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <utility>

#include "base/format_bounds.hpp"
#include "base/placeholders.hpp"
#include "base/text.hpp"

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

// The player's name as a format argument: its width and precision apply to the name
// as written, and only then are its braces doubled for the delivery's formatting, so
// a cut never leaves half a doubled brace and padding counts the name's own length.
struct PlayerName {
  std::string_view text;
};

}  // namespace
}  // namespace Bellwright

template <>
struct fmt::formatter<Bellwright::PlayerName> : fmt::formatter<std::string_view> {
  auto format(const Bellwright::PlayerName& name, fmt::format_context& ctx) const {
    fmt::memory_buffer shaped;
    fmt::format_context shaped_ctx(fmt::appender(shaped), ctx.args(), ctx.locale());
    fmt::formatter<std::string_view>::format(name.text, shaped_ctx);
    const std::string escaped =
        Bellwright::EscapeBraces(std::string_view(shaped.data(), shaped.size()));
    return std::copy(escaped.begin(), escaped.end(), ctx.out());
  }
};

namespace Bellwright {

namespace {

// In UTF-8 and in UTF-16 alike: the braces are ASCII.
template <typename Char>
void AppendWithBracesDoubled(std::basic_string<Char>& out, std::basic_string_view<Char> text) {
  for (const Char unit : text) {
    out.push_back(unit);
    if (unit == Char('{') || unit == Char('}')) {
      out.push_back(unit);
    }
  }
}

}  // namespace

std::string EscapeBraces(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  AppendWithBracesDoubled(escaped, text);
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

GreetingTemplate::GreetingTemplate(std::string message) : message_(std::move(message)) {
  if (!HasBoundedFormatFields(message_)) {
    return;
  }
  const std::vector<std::string_view> ids = ReplacementFieldIds(message_);
  names_player_count_ = std::find(ids.begin(), ids.end(), kPlayerCountField) != ids.end();
  if (std::none_of(ids.begin(), ids.end(), IsNamedField)) {
    arguments_ = Arguments::kName;
  } else if (UsesOnlyTheNameByPosition(ids)) {
    arguments_ = Arguments::kNameAndFields;
  }
  if (arguments_ != Arguments::kNone) {
    MakePlainPieces();
  }
}

// Cut at the fields; any other brace, or fields the formatter would refuse together
// ("{}" twice, "{}" beside "{0}"), leaves the message to the formatter.
void GreetingTemplate::MakePlainPieces() {
  std::vector<Piece> pieces;
  int automatic = 0;
  int by_position = 0;
  std::size_t start = 0;
  while (start < message_.size()) {
    const std::size_t open = message_.find_first_of("{}", start);
    if (open != start) {
      const std::size_t end = std::min(open, message_.size());
      pieces.push_back({Piece::Kind::kText,
                        FromUtf8(std::string_view(message_).substr(start, end - start)).Wide()});
      if (open == std::string::npos) {
        break;
      }
    }
    const std::size_t close = message_.find_first_of("{}", open + 1);
    if (message_[open] != '{' || close == std::string::npos || message_[close] != '}') {
      return;
    }
    const std::string_view id = std::string_view(message_).substr(open + 1, close - open - 1);
    if (id == kPlayerCountField) {
      pieces.push_back({Piece::Kind::kCount, {}});
    } else if (id.empty() || id == "0" || id == kPlayerNameField) {
      automatic += id.empty() ? 1 : 0;
      by_position += id == "0" ? 1 : 0;
      pieces.push_back({Piece::Kind::kName, {}});
    } else {
      return;
    }
    start = close + 1;
  }
  if (automatic > 1 || (automatic > 0 && by_position > 0)) {
    return;
  }
  plain_pieces_ = std::move(pieces);
}

std::optional<std::u16string> GreetingTemplate::BuildPlain(std::u16string_view character_name,
                                                           int player_count) const {
  if (!plain_pieces_) {
    return std::nullopt;
  }
  // A lone surrogate would come out of the round trip through UTF-8 replaced.
  if (std::any_of(character_name.begin(), character_name.end(),
                  [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; })) {
    return std::nullopt;
  }
  std::u16string text;
  for (const Piece& piece : *plain_pieces_) {
    switch (piece.kind) {
      case Piece::Kind::kText:
        text += piece.text;
        break;
      case Piece::Kind::kName:
        // Doubled, as Build doubles them, for the delivery's formatting.
        AppendWithBracesDoubled(text, character_name);
        break;
      case Piece::Kind::kCount:
        text += DecimalText(player_count);
        break;
    }
  }
  return text;
}

std::string GreetingTemplate::Build(std::string_view character_name, int player_count) const {
  try {
    switch (arguments_) {
      case Arguments::kNone:
        break;
      case Arguments::kName:
        return fmt::format(fmt::runtime(message_), PlayerName{character_name});
      case Arguments::kNameAndFields: {
        const PlayerName name{character_name};
        return fmt::format(fmt::runtime(message_), name, fmt::arg("PlayerName", name),
                           fmt::arg("PlayerCount", player_count));
      }
    }
  } catch (const fmt::format_error&) {
    // A typo in the configured text must not take the welcome pass down; the
    // delivery's own brace rule decides whether the text can still go out.
  }
  return message_;
}

std::string BuildGreetingText(std::string_view message, std::string_view character_name,
                              int player_count) {
  return GreetingTemplate(std::string(message)).Build(character_name, player_count);
}

}  // namespace Bellwright
