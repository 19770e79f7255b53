#include "config_checks/format_tokens.hpp"

#include <fmt/args.h>
#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "base/count_forms.hpp"

namespace Bellwright::ConfigCheck {
namespace {

// A width of 9 is as valid as one of 2000000000 and costs nothing to format, so the
// checks never build a huge text; a number too large for the formatter stays, as
// it is what makes the formatter refuse.
void AppendWithSmallWidths(std::string& out, std::string_view field) {
  std::size_t copied = 0;
  ForEachNumber(field, [&](std::size_t begin, std::size_t end) {
    const std::string_view digits = field.substr(begin, end - begin);
    if (NumberAbove(digits, 9) && !NumberAbove(digits, 2147483647)) {
      out.append(field.substr(copied, begin - copied));
      out += '9';
      copied = end;
    }
  });
  out.append(field.substr(copied));
}

}  // namespace

std::vector<Token> Tokenize(std::string_view text) {
  std::vector<Token> tokens;
  std::size_t at = 0;
  while (at < text.size()) {
    const char unit = text[at];
    if (unit != '{' && unit != '}') {
      const std::size_t end = std::min(text.find_first_of("{}", at), text.size());
      tokens.push_back({TokenKind::kLiteral, at, end});
      at = end;
    } else if (at + 1 < text.size() && text[at + 1] == unit) {
      tokens.push_back({TokenKind::kEscapedBrace, at, at + 2});
      at += 2;
    } else if (unit == '}') {
      tokens.push_back({TokenKind::kLoneClose, at, at + 1});
      ++at;
    } else {
      std::size_t depth = 0;
      std::size_t end = at;
      for (; end < text.size(); ++end) {
        depth += text[end] == '{' ? 1 : 0;
        if (text[end] == '}' && --depth == 0) {
          break;
        }
      }
      if (end == text.size()) {
        tokens.push_back({TokenKind::kUnmatchedOpen, at, text.size()});
        at = text.size();
      } else {
        tokens.push_back({TokenKind::kField, at, end + 1});
        at = end + 1;
      }
    }
  }
  return tokens;
}

bool NumberAbove(std::string_view digits, std::size_t bound) {
  const std::size_t start = std::min(digits.find_first_not_of('0'), digits.size());
  digits.remove_prefix(start);
  const std::string limit = std::to_string(bound);
  return digits.size() != limit.size() ? digits.size() > limit.size() : digits > limit;
}

std::string FormatterInput(std::string_view text, const std::vector<Token>& tokens,
                           std::size_t count) {
  std::string input;
  input.reserve(text.size());
  for (std::size_t index = 0; index < count; ++index) {
    const std::string_view piece =
        text.substr(tokens[index].begin, tokens[index].end - tokens[index].begin);
    if (tokens[index].kind == TokenKind::kField) {
      AppendWithSmallWidths(input, piece);
    } else {
      input.append(piece);
    }
  }
  return input;
}

std::string FormatterComplaint(const std::string& input, const FormatPass& pass) {
  try {
    fmt::dynamic_format_arg_store<fmt::format_context> arguments;
    for (const FormatArgument& argument : pass.arguments) {
      if (argument.name != nullptr && argument.whole_number) {
        arguments.push_back(fmt::arg(argument.name, 1));
      } else if (argument.name != nullptr) {
        arguments.push_back(fmt::arg(argument.name, argument.sample));
      } else if (argument.whole_number) {
        arguments.push_back(1);
      } else {
        arguments.push_back(argument.sample);
      }
    }
    static_cast<void>(fmt::vformat(fmt::string_view(input), arguments));
    return {};
  } catch (const fmt::format_error& error) {
    return error.what();
  } catch (const std::exception& error) {
    return error.what()[0] != '\0' ? error.what() : "the text cannot be formatted";
  }
}

std::size_t FailingToken(std::string_view text, const std::vector<Token>& tokens,
                         const FormatPass& pass) {
  std::size_t low = 1;
  std::size_t high = tokens.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (FormatterComplaint(FormatterInput(text, tokens, middle), pass).empty()) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low - 1;
}

PassedText AfterPass(const PassedText& before, const std::vector<Token>& tokens) {
  PassedText after;
  for (const Token& token : tokens) {
    if (token.kind == TokenKind::kLiteral) {
      for (std::size_t at = token.begin; at < token.end; ++at) {
        after.text += before.text[at];
        after.origin.push_back(before.OriginOf(at));
      }
    } else {
      after.text += token.kind == TokenKind::kEscapedBrace ? before.text[token.begin] : 'x';
      after.origin.push_back(before.OriginOf(token.begin));
    }
  }
  return after;
}

namespace {

// The length after the opening brace of a field the plug-in fills in ("Name}" or a
// count with its words, "Minutes|minute|minutes}"); 0 when `rest` starts none.
std::size_t SubstitutedLength(std::string_view rest, const std::vector<std::string_view>& names) {
  for (const std::string_view name : names) {
    if (rest.size() <= name.size() || !rest.starts_with(name)) {
      continue;
    }
    if (rest[name.size()] == '}') {
      return name.size() + 1;
    }
    if (TakesCountForms(name, kCountFieldNames)) {
      if (const auto forms = ReadCountForms(rest.substr(name.size()))) {
        return name.size() + forms->length;
      }
    }
  }
  return 0;
}

// The count of `names` whose form with words `rest`, the text after an opening brace,
// starts, with where its words lie after the name.
struct CountWithWords {
  std::string_view name;
  CountForms forms;
};

std::optional<CountWithWords> CountWithWordsAt(std::string_view rest,
                                               const std::vector<std::string_view>& names) {
  for (const std::string_view name : names) {
    if (rest.starts_with(name)) {
      if (const auto forms = ReadCountForms(rest.substr(name.size()))) {
        return CountWithWords{name, *forms};
      }
    }
  }
  return std::nullopt;
}

}  // namespace

PassedText Substituted(std::string_view text, const std::vector<std::string_view>& names,
                       const std::vector<std::string_view>& counts_with_words) {
  PassedText after;
  after.text.reserve(text.size());
  after.origin.reserve(text.size());
  const auto keep = [&](std::size_t at) {
    after.text += text[at];
    after.origin.push_back(at);
  };
  std::size_t at = 0;
  while (at < text.size()) {
    const char unit = text[at];
    if ((unit == '{' || unit == '}') && at + 1 < text.size() && text[at + 1] == unit) {
      keep(at);
      keep(at + 1);
      at += 2;
      continue;
    }
    if (unit == '{') {
      const std::string_view rest = text.substr(at + 1);
      if (const auto count = CountWithWordsAt(rest, counts_with_words)) {
        for (const char spelled : fmt::format("{{{}}} ", count->name)) {
          after.text += spelled;
          after.origin.push_back(at);
        }
        const std::size_t words = at + 1 + count->name.size();
        for (std::size_t word = 0; word < count->forms.other_size; ++word) {
          keep(words + count->forms.other_begin + word);
        }
        at = words + count->forms.length;
        continue;
      }
      if (const std::size_t length = SubstitutedLength(rest, names); length > 0) {
        after.text += 'x';
        after.origin.push_back(at);
        at += length + 1;
        continue;
      }
    }
    keep(at);
    ++at;
  }
  return after;
}

std::string_view FieldId(std::string_view field) {
  const std::string_view inside = field.substr(1);
  return inside.substr(0, std::min(inside.find_first_of(":{}"), inside.size()));
}

std::vector<std::string_view> NestedFieldIds(std::string_view field) {
  std::vector<std::string_view> ids;
  for (std::size_t at = field.find('{'); at != std::string_view::npos;
       at = field.find('{', at + 1)) {
    ids.push_back(FieldId(field.substr(at)));
  }
  return ids;
}

}  // namespace Bellwright::ConfigCheck
