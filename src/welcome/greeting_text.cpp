#include "welcome/greeting_text.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <utility>

#include "base/count_forms.hpp"
#include "base/format_bounds.hpp"
#include "base/placeholders.hpp"
#include "base/text.hpp"

namespace Bellwright {
namespace {

constexpr std::string_view kPlayerNameField = "PlayerName";
constexpr std::string_view kPlayerCountField = "PlayerCount";
constexpr std::string_view kServerNameField = "ServerName";

bool IsNamedField(std::string_view id) {
  return id == kPlayerNameField || id == kPlayerCountField || id == kServerNameField;
}

// A count with its words, "PlayerCount|one|other}" after the opening brace.
struct CountWithWords {
  std::string_view one;
  std::string_view other;
  std::size_t length = 0;  // after the opening brace, through the closing one
};

std::optional<CountWithWords> CountWithWordsAt(std::string_view after_brace) {
  if (!after_brace.starts_with(kPlayerCountField)) {
    return std::nullopt;
  }
  const std::string_view after_name = after_brace.substr(kPlayerCountField.size());
  const std::optional<CountForms> forms = ReadCountForms(after_name);
  if (!forms) {
    return std::nullopt;
  }
  return CountWithWords{after_name.substr(forms->one_begin, forms->one_size),
                        after_name.substr(forms->other_begin, forms->other_size),
                        kPlayerCountField.size() + forms->length};
}

enum class CountWord { kOne, kOther };

// The message with each count's words written out for the formatter as the count's
// own field, a blank and the word for `word`; none when it has no count with words.
// Read as the other texts' fields are read: a doubled brace is literal text.
std::optional<std::string> WithCountWordsSpelled(std::string_view message, CountWord word) {
  std::string spelled;
  bool found = false;
  std::size_t at = 0;
  while (at < message.size()) {
    const char unit = message[at];
    if ((unit == '{' || unit == '}') && at + 1 < message.size() && message[at + 1] == unit) {
      spelled.append(message.substr(at, 2));
      at += 2;
      continue;
    }
    if (unit == '{') {
      if (const auto count = CountWithWordsAt(message.substr(at + 1))) {
        spelled += "{PlayerCount} ";
        spelled += word == CountWord::kOne ? count->one : count->other;
        at += 1 + count->length;
        found = true;
        continue;
      }
    }
    spelled += unit;
    ++at;
  }
  if (!found) {
    return std::nullopt;
  }
  return spelled;
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

// The formatter takes one argument by position, and refuses "{}" beside "{0}".
bool TakesTheNameOneWay(const std::vector<std::string_view>& ids) {
  const auto automatic = std::count(ids.begin(), ids.end(), std::string_view());
  const bool numbered = std::find(ids.begin(), ids.end(), "0") != ids.end();
  return automatic <= 1 && (automatic == 0 || !numbered);
}

// A name (the player's, the server's) as a format argument: its width and precision
// apply to the name as written, and only then are its braces doubled for the delivery's
// formatting, so a cut never leaves half a doubled brace and padding counts the name's
// own length.
struct NameValue {
  std::string_view text;
};

}  // namespace
}  // namespace Bellwright

template <>
struct fmt::formatter<Bellwright::NameValue> : fmt::formatter<std::string_view> {
  auto format(const Bellwright::NameValue& name, fmt::format_context& ctx) const {
    fmt::memory_buffer shaped;
    fmt::format_context shaped_ctx(fmt::appender(shaped), ctx.args(), ctx.locale());
    fmt::formatter<std::string_view>::format(name.text, shaped_ctx);
    const std::string escaped =
        Bellwright::EscapeBraces(std::string_view(shaped.data(), shaped.size()));
    return std::copy(escaped.begin(), escaped.end(), ctx.out());
  }
};

namespace Bellwright {

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

GreetingTemplate::GreetingTemplate(std::string message, std::string server_name)
    : message_(std::move(message)), server_name_(std::move(server_name)) {
  if (std::optional<std::string> spelled = WithCountWordsSpelled(message_, CountWord::kOther)) {
    format_ = std::move(*spelled);
    format_for_one_ = *WithCountWordsSpelled(message_, CountWord::kOne);
  } else {
    format_ = message_;
  }
  if (!HasBoundedFormatFields(format_)) {
    return;
  }
  const std::vector<std::string_view> ids = ReplacementFieldIds(format_);
  names_player_count_ = std::find(ids.begin(), ids.end(), kPlayerCountField) != ids.end();
  if (std::none_of(ids.begin(), ids.end(), IsNamedField)) {
    arguments_ = Arguments::kName;
  } else if (UsesOnlyTheNameByPosition(ids)) {
    arguments_ = Arguments::kNameAndFields;
  }
  if (arguments_ != Arguments::kNone && TakesTheNameOneWay(ids)) {
    MakePlainPieces();
  }
}

// Cut at the fields; any other brace leaves the message to the formatter.
void GreetingTemplate::MakePlainPieces() {
  const std::string_view message = message_;
  std::vector<Piece> pieces;
  std::size_t start = 0;
  while (start < message.size()) {
    const std::size_t brace = std::min(message.find_first_of("{}", start), message.size());
    if (brace != start) {
      Piece text;
      text.text = FromUtf8(message.substr(start, brace - start)).Wide();
      pieces.push_back(std::move(text));
      start = brace;
      continue;
    }
    std::optional<std::pair<Piece, std::size_t>> field = PlainFieldAt(message.substr(brace));
    if (!field) {
      return;
    }
    pieces.push_back(std::move(field->first));
    start += field->second;
  }
  plain_pieces_ = std::move(pieces);
}

std::optional<std::pair<GreetingTemplate::Piece, std::size_t>> GreetingTemplate::PlainFieldAt(
    std::string_view from_brace) const {
  if (from_brace.front() != '{') {
    return std::nullopt;
  }
  Piece piece;
  if (const auto count = CountWithWordsAt(from_brace.substr(1))) {
    piece.kind = Piece::Kind::kCountWithWords;
    piece.text = FromUtf8(count->one).Wide();
    piece.other = FromUtf8(count->other).Wide();
    return std::pair(std::move(piece), 1 + count->length);
  }
  const std::size_t close = from_brace.find_first_of("{}", 1);
  if (close == std::string_view::npos || from_brace[close] != '}') {
    return std::nullopt;
  }
  const std::string_view id = from_brace.substr(1, close - 1);
  if (id == kPlayerCountField) {
    piece.kind = Piece::Kind::kCount;
  } else if (id == kServerNameField) {
    // Doubled, as Build doubles them, for the delivery's formatting.
    AppendWithBracesDoubled(piece.text, std::u16string_view(FromUtf8(server_name_).Wide()));
  } else if (id.empty() || id == "0" || id == kPlayerNameField) {
    piece.kind = Piece::Kind::kName;
  } else {
    return std::nullopt;
  }
  return std::pair(std::move(piece), close + 1);
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
      case Piece::Kind::kCountWithWords:
        text += DecimalText(player_count);
        text += u' ';
        text += player_count == 1 ? piece.text : piece.other;
        break;
    }
  }
  return text;
}

std::string GreetingTemplate::Build(std::string_view character_name, int player_count) const {
  const std::string& format =
      player_count == 1 && !format_for_one_.empty() ? format_for_one_ : format_;
  try {
    switch (arguments_) {
      case Arguments::kNone:
        break;
      case Arguments::kName:
        return fmt::format(fmt::runtime(format), NameValue{character_name});
      case Arguments::kNameAndFields: {
        const NameValue name{character_name};
        return fmt::format(fmt::runtime(format), name, fmt::arg("PlayerName", name),
                           fmt::arg("PlayerCount", player_count),
                           fmt::arg("ServerName", NameValue{server_name_}));
      }
    }
  } catch (const fmt::format_error&) {
    // A typo in the configured text must not take the welcome pass down; the
    // delivery's own brace rule decides whether the text can still go out.
  }
  return message_;
}

}  // namespace Bellwright
