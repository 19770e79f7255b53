#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/fstring.hpp"

namespace Bellwright {

// A message text with named fields such as "{PlayerName}", filled by plain
// substitution before the text reaches the delivery, which formats it once more with
// no arguments. Doubled braces are literal text and stay doubled, and a filled-in
// value has its own braces doubled, so the delivery's brace rule applies to the
// configured text exactly as it did without the fields, and a value never becomes a
// field. A field is only ever a name written exactly between two single braces, or a
// count's name with its two words, "{Minutes|minute|minutes}" (count_forms.hpp), which
// is filled with the number and the word that fits it.
class PlaceholderText {
 public:
  // `text` must outlive the object; `names` (at most 32, without braces) are only read
  // while the text is scanned.
  PlaceholderText(const FString& text, std::span<const std::u16string_view> names);
  PlaceholderText(FString&&, std::span<const std::u16string_view>) = delete;

  // Whether the text holds the field names[index] at least once.
  [[nodiscard]] bool Uses(std::size_t index) const { return (used_ & (1U << index)) != 0; }
  [[nodiscard]] bool UsesAny() const { return used_ != 0; }

  // The text with every field replaced by values[its index]; a copy of the text when
  // it holds no field.
  [[nodiscard]] FString Fill(std::span<const std::u16string_view> values) const;

  [[nodiscard]] const FString& Text() const { return *text_; }

 private:
  struct Field {
    std::size_t begin;  // the opening brace
    std::size_t end;    // one past the closing brace
    std::size_t name;
    // The words after the count, from the start of the text; none for a plain field.
    std::u16string_view one{};
    std::u16string_view other{};
    bool with_word = false;
  };

  // The field whose opening brace is at `brace`, if one is.
  static std::optional<Field> FieldAt(std::u16string_view units, std::size_t brace,
                                      std::span<const std::u16string_view> names);

  const FString* text_;
  std::vector<Field> fields_;
  std::uint32_t used_ = 0;
};

// The fields of a message a player receives: the receiving player's character name,
// the number of connected players and this server's name in its cluster.
enum PlayerPlaceholder : std::size_t { kPlayerName = 0, kPlayerCount = 1, kServerName = 2 };
inline constexpr std::u16string_view kPlayerPlaceholderNames[] = {u"PlayerName", u"PlayerCount",
                                                                  u"ServerName"};

// `text` appended with every brace doubled, so that the delivery's formatting gives
// it back as written. In UTF-8 and in UTF-16 alike: the braces are ASCII.
template <typename Char>
void AppendWithBracesDoubled(std::basic_string<Char>& out, std::basic_string_view<Char> text) {
  for (const Char unit : text) {
    out.push_back(unit);
    if (unit == Char('{') || unit == Char('}')) {
      out.push_back(unit);
    }
  }
}

// A whole number as engine text.
std::u16string DecimalText(long long number);

}  // namespace Bellwright
