#include "config_checks/text_faults.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>

#include "base/ascii_case.hpp"
#include "base/count_forms.hpp"
#include "base/format_bounds.hpp"
#include "base/list_text.hpp"
#include "config_checks/format_tokens.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

std::string LiteralBraces(const TextRule& rule) {
  const std::size_t count = std::size_t{1} << std::min<std::size_t>(rule.passes.size(), 4);
  return fmt::format("\"{}\" or \"{}\"", std::string(count, '{'), std::string(count, '}'));
}

// Every field name the text takes: those substituted and the named arguments of the
// first pass.
std::vector<std::string_view> FieldNames(const TextRule& rule) {
  std::vector<std::string_view> names(rule.substituted.begin(), rule.substituted.end());
  if (!rule.passes.empty()) {
    for (const FormatArgument& argument : rule.passes.front().arguments) {
      if (argument.name != nullptr) {
        names.emplace_back(argument.name);
      }
    }
  }
  return names;
}

// How to write a name the text takes but the field spells otherwise; empty when the
// field names nothing the text takes.
std::string NameAdvice(std::string_view field, const TextRule& rule) {
  const std::string_view id = FieldId(field);
  for (const std::string_view name : FieldNames(rule)) {
    if (id == name) {
      // Only a substituted name can get here: it is replaced only when it stands alone.
      return fmt::format(
          "{{{}}} is filled in only as it stands, without format options: write "
          "\"{{{}}}\"",
          name, name);
    }
    if (EqualIgnoringAsciiCase(id, name)) {
      return fmt::format("the names are case-sensitive: write \"{{{}}}\"", name);
    }
  }
  return {};
}

struct Fault {
  std::string what;
  std::string advice;  // empty: how to write a literal brace
};

// A count the text takes, written with words in a form the plug-in does not fill in.
std::optional<Fault> CountFormFault(std::string_view field, const TextRule& rule) {
  const std::string_view inside = field.substr(1);
  std::vector<std::string_view> names = rule.substituted;
  names.insert(names.end(), rule.counts_with_words.begin(), rule.counts_with_words.end());
  for (const std::string_view name : names) {
    if (inside.size() > name.size() && inside.starts_with(name) && inside[name.size()] == '|' &&
        TakesCountForms(name, kCountFieldNames)) {
      return Fault{fmt::format("{} is not a count with its two words", Quote(field)),
                   fmt::format("a count with its words is written \"{{{0}|one|more}}\", such as "
                               "\"{{{0}|{1}}}\": two words, without braces or \"|\" in them",
                               name, name == "Minutes" ? "minute|minutes" : "player|players")};
    }
  }
  return std::nullopt;
}

Fault FieldFault(std::string_view field, const std::string& complaint, const TextRule& rule) {
  if (auto fault = CountFormFault(field, rule)) {
    return std::move(*fault);
  }
  const std::string quoted = Quote(field);
  if (complaint.find("argument not found") != std::string::npos) {
    return {fmt::format("{} is not a placeholder of {}, which takes {}", quoted, rule.what,
                        rule.placeholders),
            NameAdvice(field, rule)};
  }
  if (complaint.find("cannot switch") != std::string::npos) {
    return {fmt::format("{} mixes numbered and automatic placeholders", quoted),
            "write every placeholder the same way, {0} or {}"};
  }
  return {fmt::format("{} is not a placeholder the formatter accepts ({})", quoted, complaint), {}};
}

std::string FirstPassMessage(std::string_view text, const Token& token,
                             const std::string& complaint, const TextRule& rule) {
  Fault fault;
  if (token.kind == TokenKind::kUnmatchedOpen) {
    fault.what = "unmatched \"{\"";
  } else if (token.kind == TokenKind::kLoneClose) {
    fault.what = "unmatched \"}\"";
  } else {
    fault = FieldFault(text.substr(token.begin, token.end - token.begin), complaint, rule);
  }
  if (fault.advice.empty()) {
    fault.advice =
        fmt::format("a literal brace in {} is written {}", rule.what, LiteralBraces(rule));
  }
  return fmt::format("{}: {}; {}", fault.what, rule.undelivered, fault.advice);
}

std::string LaterPassMessage(char brace, const FormatPass& earlier, const TextRule& rule) {
  return fmt::format(
      "\"{0}{0}\" becomes a single \"{0}\" {1}, and the next formatting refuses it: {2}; a "
      "literal brace in {3} is written {4}",
      brace, earlier.result, rule.undelivered, rule.what, LiteralBraces(rule));
}

// The first of `tokens[0, count)` holding a field the plug-in refuses to fill by
// position: anything but {0}, or a second {}.
std::optional<std::size_t> ExtraPositionalField(std::string_view text,
                                                const std::vector<Token>& tokens,
                                                std::size_t count) {
  std::size_t automatic = 0;
  for (std::size_t index = 0; index < count; ++index) {
    if (tokens[index].kind != TokenKind::kField) {
      continue;
    }
    const std::string_view field =
        text.substr(tokens[index].begin, tokens[index].end - tokens[index].begin);
    for (const std::string_view id : NestedFieldIds(field)) {
      const bool numbered = !id.empty() && std::isdigit(static_cast<unsigned char>(id[0])) != 0;
      if ((id.empty() && ++automatic > 1) || (numbered && id != "0")) {
        return index;
      }
    }
  }
  return std::nullopt;
}

std::optional<TextFault> WidthFault(std::string_view text, const std::vector<Token>& tokens,
                                    const TextRule& rule) {
  for (const Token& token : tokens) {
    if (token.kind != TokenKind::kField) {
      continue;
    }
    const std::string_view field = text.substr(token.begin, token.end - token.begin);
    const std::size_t colon = field.find(':');
    if (colon == std::string_view::npos) {
      continue;
    }
    std::optional<TextFault> fault;
    ForEachNumber(field.substr(colon), [&](std::size_t begin, std::size_t end) {
      const std::string_view digits = field.substr(colon + begin, end - begin);
      if (!fault && NumberAbove(digits, rule.max_width)) {
        fault = TextFault{
            token.begin, Severity::kError,
            fmt::format("{} asks for {} characters, more than the {} a field may take: {}",
                        Quote(field), std::string(digits), rule.max_width, rule.undelivered)};
      }
    });
    if (fault) {
      return fault;
    }
  }
  return std::nullopt;
}

// The first fault of the first pass, if any: what the formatter refuses, or a field
// the plug-in refuses before the formatter sees it.
std::optional<TextFault> FirstPassFault(const PassedText& passed, const std::vector<Token>& tokens,
                                        const TextRule& rule) {
  const FormatPass& pass = rule.passes.front();
  const std::string complaint =
      FormatterComplaint(FormatterInput(passed.text, tokens, tokens.size()), pass);
  std::optional<std::size_t> failing;
  std::string failing_complaint;
  if (!complaint.empty()) {
    failing = tokens.empty() ? 0 : FailingToken(passed.text, tokens, pass);
    failing_complaint =
        tokens.empty()
            ? complaint
            : FormatterComplaint(FormatterInput(passed.text, tokens, *failing + 1), pass);
  }
  if (rule.one_positional_field) {
    const std::size_t before = failing.value_or(tokens.size());
    if (const auto extra = ExtraPositionalField(passed.text, tokens, before)) {
      failing = extra;
      failing_complaint = "argument not found";
    }
  }
  if (!failing) {
    return rule.max_width > 0 ? WidthFault(passed.text, tokens, rule) : std::nullopt;
  }
  const Token token = tokens.empty() ? Token{} : tokens[*failing];
  return TextFault{passed.OriginOf(token.begin), Severity::kError,
                   FirstPassMessage(passed.text, token, failing_complaint, rule)};
}

}  // namespace

const FormatPass& NoArguments() {
  static const FormatPass pass{{}, ""};
  return pass;
}

TextRule FormattedOnce(std::string_view what, std::string_view undelivered,
                       std::vector<std::string_view> substituted) {
  std::vector<std::string> fields;
  fields.reserve(substituted.size());
  for (const std::string_view name : substituted) {
    fields.push_back(fmt::format("{{{}}}", name));
  }
  return {.what = what,
          .placeholders = fields.empty() ? "no placeholders" : JoinedAsList(fields),
          .undelivered = undelivered,
          .substituted = std::move(substituted),
          .passes = {NoArguments()}};
}

std::optional<TextFault> CheckText(std::string_view text, const TextRule& rule) {
  PassedText passed = rule.substituted.empty() && rule.counts_with_words.empty()
                          ? PassedText{std::string(text), {}}
                          : Substituted(text, rule.substituted, rule.counts_with_words);
  for (std::size_t pass = 0; pass < rule.passes.size(); ++pass) {
    const std::vector<Token> tokens = Tokenize(passed.text);
    if (pass == 0) {
      if (auto fault = FirstPassFault(passed, tokens, rule)) {
        return fault;
      }
    } else if (!FormatterComplaint(FormatterInput(passed.text, tokens, tokens.size()),
                                   rule.passes[pass])
                    .empty()) {
      const std::size_t failing =
          tokens.empty() ? 0 : FailingToken(passed.text, tokens, rule.passes[pass]);
      const Token token = tokens.empty() ? Token{} : tokens[failing];
      const char brace = token.begin < passed.text.size() ? passed.text[token.begin] : '{';
      return TextFault{passed.OriginOf(token.begin), Severity::kError,
                       LaterPassMessage(brace == '}' ? '}' : '{', rule.passes[pass - 1], rule)};
    }
    if (pass + 1 < rule.passes.size()) {
      passed = AfterPass(passed, tokens);
    }
  }
  return std::nullopt;
}

}  // namespace Bellwright::ConfigCheck
