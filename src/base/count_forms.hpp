#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// A count written with the word that fits it: "{Minutes|minute|minutes}" gives "1 minute"
// and "5 minutes", "{PlayerCount|player|players}" "0 players". Only the fields that hold
// a count take the words; the words hold no brace and no bar.
namespace Bellwright {

inline constexpr std::string_view kCountFieldNames[] = {"Minutes", "PlayerCount"};
inline constexpr std::u16string_view kCountFieldWideNames[] = {u"Minutes", u"PlayerCount"};

// Where the two words lie in the text after a count field's name.
struct CountForms {
  std::size_t one_begin = 0;
  std::size_t one_size = 0;
  std::size_t other_begin = 0;
  std::size_t other_size = 0;
  std::size_t length = 0;  // through the closing brace
};

// `after_name` starts right after the field's name: "|one|other}..." is read, anything
// else is not the form.
template <typename Char>
std::optional<CountForms> ReadCountForms(std::basic_string_view<Char> after_name) {
  if (after_name.empty() || after_name.front() != Char('|')) {
    return std::nullopt;
  }
  CountForms forms;
  forms.one_begin = 1;
  std::size_t at = 1;
  int bars = 1;
  for (; at < after_name.size(); ++at) {
    const Char unit = after_name[at];
    if (unit == Char('{')) {
      return std::nullopt;
    }
    if (unit == Char('|')) {
      if (++bars > 2) {
        return std::nullopt;
      }
      forms.one_size = at - forms.one_begin;
      forms.other_begin = at + 1;
    } else if (unit == Char('}')) {
      break;
    }
  }
  if (at == after_name.size() || bars != 2) {
    return std::nullopt;
  }
  forms.other_size = at - forms.other_begin;
  forms.length = at + 1;
  return forms;
}

template <typename Char, std::size_t Count>
bool TakesCountForms(std::basic_string_view<Char> name,
                     const std::basic_string_view<Char> (&names)[Count]) {
  for (const auto count_name : names) {
    if (name == count_name) {
      return true;
    }
  }
  return false;
}

}  // namespace Bellwright
