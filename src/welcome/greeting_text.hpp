#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
// once), and, in the same step, the named fields {PlayerName} (the name again),
// {PlayerCount} and {ServerName}. A count with its words, "{PlayerCount|player|players}",
// is first written out as the count, a blank and the word that fits it. The name and
// the server's name are values: a width or precision applies to them as written, then
// their braces are escaped, and their characters are kept as UTF-8; the message keeps
// its own brace rules. A message that is not a valid format text for those arguments
// (a second positional argument included), or that asks for a field wider than
// kLongestFormatField, gives itself as it stands.
class GreetingTemplate {
 public:
  // `server_name` (UTF-8) is what {ServerName} shows: empty outside a cluster.
  explicit GreetingTemplate(std::string message, std::string server_name = {});

  // Whether the count is wanted: it costs a walk over the connected players.
  [[nodiscard]] bool NamesPlayerCount() const { return names_player_count_; }

  [[nodiscard]] std::string Build(std::string_view character_name, int player_count) const;

  // The text Build gives, in UTF-16, made by joining pieces instead of formatting: a pass
  // greets a crowd at once, and the round trip through UTF-8 and the formatter cost a
  // quarter of each delivery. Only for a message whose fields are all plain ({0}, {},
  // {PlayerName}, {PlayerCount} with or without its words, {ServerName}: no width or
  // other option, no doubled brace) and a name without surrogates; none otherwise, and
  // Build then gives the greeting.
  [[nodiscard]] std::optional<std::u16string> BuildPlain(std::u16string_view character_name,
                                                         int player_count) const;

 private:
  enum class Arguments { kNone, kName, kNameAndFields };
  struct Piece {
    enum class Kind { kText, kName, kCount, kCountWithWords } kind = Kind::kText;
    std::u16string text;   // the words' first for a count
    std::u16string other;  // the words' second for a count
  };

  void MakePlainPieces();
  // The plain field `from_brace` starts, with its length; none for any other brace.
  [[nodiscard]] std::optional<std::pair<Piece, std::size_t>> PlainFieldAt(
      std::string_view from_brace) const;

  std::string message_;
  std::string server_name_;
  // The message for the formatter, counts' words spelled out for any count but one,
  // and for one; the second is empty when the message has no count with words.
  std::string format_;
  std::string format_for_one_;
  Arguments arguments_ = Arguments::kNone;
  bool names_player_count_ = false;
  // Empty when the message has a field that is not plain.
  std::optional<std::vector<Piece>> plain_pieces_;
};

}  // namespace Bellwright
