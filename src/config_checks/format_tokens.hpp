#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Format texts as the fmt library reads them, for the checks of the configuration's
// texts: the pieces of a text, what a formatting makes of it, and where the formatter
// first refuses it. The formatter itself decides what it accepts.
namespace Bellwright::ConfigCheck {

enum class TokenKind { kLiteral, kEscapedBrace, kField, kUnmatchedOpen, kLoneClose };

struct Token {
  TokenKind kind = TokenKind::kLiteral;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Splits a format text the way the formatter reads it: literal runs, doubled braces,
// replacement fields (which may nest one level for a dynamic width), stray braces.
std::vector<Token> Tokenize(std::string_view text);

// The numbers written in a text, each with its place.
template <typename Visit>
void ForEachNumber(std::string_view text, Visit visit) {
  std::size_t at = 0;
  while (at < text.size()) {
    if (std::isdigit(static_cast<unsigned char>(text[at])) == 0) {
      ++at;
      continue;
    }
    const std::size_t end = std::min(text.find_first_not_of("0123456789", at), text.size());
    visit(at, end);
    at = end;
  }
}

bool NumberAbove(std::string_view digits, std::size_t bound);

// The text of `tokens[0, count)` as the formatter is given it.
std::string FormatterInput(std::string_view text, const std::vector<Token>& tokens,
                           std::size_t count);

// One argument the plug-in hands the formatter; positional when `name` is null.
struct FormatArgument {
  const char* name = nullptr;  // a literal: the formatter keeps the pointer
  std::string_view sample;     // stands in for the real value, which has no braces
  bool whole_number = false;   // the plug-in hands a number, not text
};

// One formatting of a text by the fmt library, with its arguments.
struct FormatPass {
  std::vector<FormatArgument> arguments;
  // How the text reads after this pass, for the message about a later pass.
  std::string_view result;
};

// The formatter's complaint, or empty when it accepts the text.
std::string FormatterComplaint(const std::string& input, const FormatPass& pass);

// The token at which the formatter first refuses the text: it reads from left to
// right, so a prefix fails exactly when it holds that token.
std::size_t FailingToken(std::string_view text, const std::vector<Token>& tokens,
                         const FormatPass& pass);

// A text as it stands after some passes, each byte with its place in the original
// (no places: the original itself).
struct PassedText {
  std::string text;
  std::vector<std::size_t> origin;

  [[nodiscard]] std::size_t OriginOf(std::size_t at) const {
    return origin.empty() ? at : origin[std::min(at, origin.size() - 1)];
  }
};

// What a pass makes of an accepted text: doubled braces become single, a field
// becomes its value (one stand-in letter: the real values have no braces).
PassedText AfterPass(const PassedText& before, const std::vector<Token>& tokens);

// The text once the plug-in has replaced each "{Name}" of `names`: a doubled brace is
// literal text and read as one, and a value stands in as one letter. A count of
// `counts_with_words` written with its words becomes the count's own field, a blank and
// the second word, as the formatter is then given it.
PassedText Substituted(std::string_view text, const std::vector<std::string_view>& names,
                       const std::vector<std::string_view>& counts_with_words = {});

// The argument id of a field ("PlayerName" of "{PlayerName:>5}"); empty for "{}".
std::string_view FieldId(std::string_view field);

// The ids of a field and of the fields nested in its format options, in order.
std::vector<std::string_view> NestedFieldIds(std::string_view field);

}  // namespace Bellwright::ConfigCheck
