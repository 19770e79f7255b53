#include "config_checks/json_text/syntax_cause.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "base/ascii_case.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

bool IsLetter(char unit) {
  return std::isalpha(static_cast<unsigned char>(unit)) != 0;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::optional<std::size_t> PreviousNonBlank(std::string_view text, std::size_t offset) {
  while (offset > 0) {
    --offset;
    if (!IsJsonBlank(text[offset])) {
      return offset;
    }
  }
  return std::nullopt;
}

// The opening quote of a string still open at the end of the text.
std::optional<std::size_t> UnclosedStringStart(std::string_view text) {
  std::optional<std::size_t> open;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (open && text[at] == '\\') {
      ++at;
    } else if (text[at] == '"') {
      open = open ? std::nullopt : std::optional<std::size_t>(at);
    }
  }
  return open;
}

std::string WordAround(std::string_view text, std::size_t offset) {
  std::size_t start = offset;
  while (start > 0 && IsLetter(text[start - 1])) {
    --start;
  }
  std::size_t end = offset;
  while (end < text.size() && IsLetter(text[end])) {
    ++end;
  }
  return std::string(text.substr(start, end - start));
}

bool StartsValue(char unit) {
  return unit == '"' || unit == '{' || unit == '[' || unit == '-' ||
         std::isdigit(static_cast<unsigned char>(unit)) != 0 || unit == 't' || unit == 'f' ||
         unit == 'n';
}

bool EndsValue(char unit) {
  return unit == '"' || unit == '}' || unit == ']' ||
         std::isalnum(static_cast<unsigned char>(unit)) != 0;
}

std::size_t NumberStart(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  while (offset > 0 && !IsJsonBlank(text[offset - 1]) &&
         std::string_view(",:[{").find(text[offset - 1]) == std::string_view::npos) {
    --offset;
  }
  return offset;
}

// Faults the library names inside a string or a number: its words suffice.
std::optional<std::string> LexicalCause(std::string_view text, std::size_t offset,
                                        std::string_view message) {
  if (Contains(message, "control character")) {
    const char unit = offset < text.size() ? text[offset] : '\0';
    if (unit == '\n' || unit == '\r') {
      return "a line break inside a string: the string has no closing double quote on its line "
             "(a line break in a text is written \\n)";
    }
    if (unit == '\t') {
      return "a tab inside a string: write it as \\t";
    }
    return "a control character inside a string: write it as an escape such as \\u0001";
  }
  if (Contains(message, "ill-formed UTF-8")) {
    return "bytes that are not UTF-8 inside a string: save the file as UTF-8";
  }
  if (Contains(message, "forbidden character after backslash")) {
    return "an unknown escape after a backslash: in a string a backslash starts an escape such as "
           "\\n, so a backslash itself is written \\\\ (C:\\\\Servers)";
  }
  if (Contains(message, "\\u")) {
    return "an invalid \\u escape: it takes four hexadecimal digits, and a surrogate pair both "
           "halves";
  }
  if (Contains(message, "invalid BOM")) {
    return "an incomplete byte order mark at the start of the file: save the file as UTF-8";
  }
  if (Contains(message, "invalid number")) {
    return "an invalid number: numbers are written like 12, -3 or 1.5 (no \"+\", no leading "
           "zero, digits on both sides of the point)";
  }
  return std::nullopt;
}

std::string CauseAtCharacter(std::string_view text, std::size_t offset, std::string_view message) {
  const char unit = text[offset];
  const std::optional<std::size_t> previous = PreviousNonBlank(text, offset);
  const char before = previous ? text[*previous] : '\0';
  if ((unit == '/' && offset + 1 < text.size() &&
       (text[offset + 1] == '/' || text[offset + 1] == '*')) ||
      unit == '#') {
    return "a comment, which JSON does not allow: remove it";
  }
  if ((unit == '}' || unit == ']') && before == ',') {
    return fmt::format("a trailing comma before this \"{}\": remove the comma", unit);
  }
  if (unit == '\'') {
    return "single quotes, where strings and keys take double quotes";
  }
  if (unit == ',' && (before == ',' || before == '{' || before == '[')) {
    return before == ',' ? "two commas in a row" : "a comma with no value before it";
  }
  if ((unit == '}' || unit == ']' || unit == ',') && before == ':') {
    return "a value is missing after the colon";
  }
  if (IsLetter(unit) && Contains(message, "invalid literal")) {
    if (Contains(message, "object key")) {
      return "a key without double quotes: keys are strings, such as \"Enabled\"";
    }
    const std::string word = WordAround(text, offset);
    const std::string lowered = AsciiLowered(word);
    if (lowered == "true" || lowered == "false" || lowered == "null") {
      return fmt::format("{} must be written in lower case: {}", Quote(word), lowered);
    }
    return "text without double quotes: strings take double quotes, and only true, false and "
           "null stand without them";
  }
  if (previous && *previous + 1 == offset && before == '0' &&
      std::isdigit(static_cast<unsigned char>(unit)) != 0) {
    return "a number with a leading zero: write 7, not 07";
  }
  if (previous && EndsValue(before) && StartsValue(unit) &&
      (Contains(message, "expected '}'") || Contains(message, "expected ']'"))) {
    return "a comma is missing before this value";
  }
  if (Contains(message, "expected ':'")) {
    return "a colon is missing after the key";
  }
  const std::size_t detail = message.find(" - ");
  return std::string(detail == std::string_view::npos ? message : message.substr(detail + 3));
}

}  // namespace

SyntaxCause ExplainSyntaxError(std::string_view text, const SyntaxError& error,
                               const LineMap& lines) {
  const std::size_t start = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  if (std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), IsJsonBlank)) {
    return {start, "the file is empty"};
  }
  const std::size_t offset = std::min(error.offset, text.size());
  if (error.library_error_id == 406) {
    return {NumberStart(text, offset), "a number too large to read"};
  }
  const std::string_view message = error.library_message;
  if (Contains(message, "missing closing quote")) {
    const std::optional<std::size_t> opening = UnclosedStringStart(text);
    if (opening) {
      const LineColumn place = lines.Locate(*opening);
      return {offset, fmt::format("the string that starts at line {}, column {} has no closing "
                                  "double quote",
                                  place.line, place.column)};
    }
    return {offset, "a string has no closing double quote"};
  }
  if (auto cause = LexicalCause(text, offset, message)) {
    return {offset, std::move(*cause)};
  }
  if (offset >= text.size()) {
    return {offset,
            "the file ends before the document is complete: a closing \"}\" or \"]\" is "
            "missing"};
  }
  return {offset, CauseAtCharacter(text, offset, message)};
}

}  // namespace Bellwright::ConfigCheck
