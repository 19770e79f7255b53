#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Bellwright {

// Doubles every brace, so that the text comes through the delivery's formatting
// exactly as written.
std::string EscapeBraces(std::string_view text);

// The argument ids of a format text's replacement fields, nested fields of format
// specs included, in order; an automatic field ("{}") gives an empty id. Doubled
// braces are literal text.
std::vector<std::string_view> ReplacementFieldIds(std::string_view format);

// A welcome text, read once for every greeting it makes: `message` (UTF-8) formatted
// with the character name as its one argument ("{0}" as often as wanted, or "{}"
// once), and, in the same step, the named fields {PlayerName} (the name again) and
// {PlayerCount}. The name is chosen by the player: a width or precision applies to it
// as written, then its braces are escaped, and its characters are kept as UTF-8; the
// message keeps its own brace rules. A message that is
// not a valid format text for those arguments (a second positional argument
// included), or that asks for a field wider than kLongestFormatField, gives itself
// as it stands.
class GreetingTemplate {
 public:
  explicit GreetingTemplate(std::string message);

  // Whether the count is wanted: it costs a walk over the connected players.
  [[nodiscard]] bool NamesPlayerCount() const { return names_player_count_; }

  [[nodiscard]] std::string Build(std::string_view character_name, int player_count) const;

  // The text Build gives, in UTF-16, made by joining pieces instead of formatting: a pass
  // greets a crowd at once, and the round trip through UTF-8 and the formatter cost a
  // quarter of each delivery. Only for a message whose fields are all plain ({0}, {},
  // {PlayerName}, {PlayerCount}: no width or other option, no doubled brace) and a name
  // without surrogates; none otherwise, and Build then gives the greeting.
  [[nodiscard]] std::optional<std::u16string> BuildPlain(std::u16string_view character_name,
                                                         int player_count) const;

 private:
  enum class Arguments { kNone, kName, kNameAndFields };
  struct Piece {
    enum class Kind { kText, kName, kCount } kind = Kind::kText;
    std::u16string text;
  };

  void MakePlainPieces();

  std::string message_;
  Arguments arguments_ = Arguments::kNone;
  bool names_player_count_ = false;
  // Empty when the message has a field that is not plain.
  std::optional<std::vector<Piece>> plain_pieces_;
};

// One greeting from a template made for it.
std::string BuildGreetingText(std::string_view message, std::string_view character_name,
                              int player_count = 0);

}  // namespace Bellwright
