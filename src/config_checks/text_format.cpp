#include "config_checks/text_format.hpp"

#include <fmt/args.h>
#include <fmt/format.h>

#include <algorithm>
#include <cctype>

#include "base/format_bounds.hpp"
#include "config_checks/json_text/ascii_case.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

const FormatPass kNoArguments{{}, ""};

constexpr std::string_view kPlayerFields = "{PlayerName} and {PlayerCount}";
constexpr std::string_view kCountdownFields = "{Minutes}, {PlayerName} and {PlayerCount}";
constexpr std::string_view kWelcomeFields =
    "{0} or {} (the character name), {PlayerName} and {PlayerCount}";

// The welcome texts are formatted with the character name, by position and as
// {PlayerName}, and the player count, then once more by the delivery.
FormatPass WelcomePass() {
  return FormatPass{{{nullptr, "Name"}, {"PlayerName", "Name"}, {"PlayerCount", "1", true}},
                    "once the character name is filled in"};
}

// The texts of the configuration. Fields filled by plain substitution are listed in
// `substituted`; a width bound is `max_width`.
const std::vector<TextRule>& Rules() {
  static const std::vector<TextRule> rules = {
      {.pattern = "/NoPermission",
       .what = "the refusal text",
       .placeholders = "no placeholders",
       .undelivered = "refused players get no line at all",
       .passes = {kNoArguments}},
      {.pattern = "/CooldownMessage",
       .what = "the cooldown line",
       .placeholders = "{Seconds} and {Command}",
       .undelivered = "players who use a command too soon get no line at all",
       .substituted = {"Seconds", "Command"},
       .passes = {kNoArguments}},
      {.pattern = "/CustomCommands/*/Message",
       .what = "a custom command's reply",
       .placeholders = kPlayerFields,
       .undelivered = "the command's reply is never delivered",
       .substituted = {"PlayerName", "PlayerCount"},
       .passes = {kNoArguments}},
      {.pattern = "/TimedMessages/Messages/*/MessageToSend",
       .what = "a timed message",
       .placeholders = kPlayerFields,
       .undelivered = "this timed message is never delivered",
       .substituted = {"PlayerName", "PlayerCount"},
       .passes = {kNoArguments}},
      {.pattern = "/Announcements/*/Messages/*/MessageToSend",
       .what = "a list's message",
       .placeholders = kPlayerFields,
       .undelivered = "this message is never delivered",
       .substituted = {"PlayerName", "PlayerCount"},
       .passes = {kNoArguments}},
      {.pattern = "/Schedules/*/MessageToSend",
       .what = "a schedule's message",
       .placeholders = "{Minutes}, {Time}, {PlayerName} and {PlayerCount}",
       .undelivered = "this schedule's message is never delivered",
       .substituted = {"Minutes", "Time", "PlayerName", "PlayerCount"},
       .passes = {kNoArguments}},
      {.pattern = "/TimedMessages/OptOutOffMessage",
       .what = "the opt-out reply",
       .placeholders = "{Command}",
       .undelivered = "players who turn timed messages off get no reply",
       .substituted = {"Command"},
       .passes = {kNoArguments}},
      {.pattern = "/TimedMessages/OptOutOnMessage",
       .what = "the opt-in reply",
       .placeholders = "{Command}",
       .undelivered = "players who turn timed messages back on get no reply",
       .substituted = {"Command"},
       .passes = {kNoArguments}},
      {.pattern = "/Countdown/MessageToSend",
       .what = "the countdown's announcement",
       .placeholders = kCountdownFields,
       .undelivered = "the countdown's announcements are never delivered",
       .substituted = {"Minutes", "PlayerName", "PlayerCount"},
       .passes = {kNoArguments}},
      {.pattern = "/Countdown/FinalMessage",
       .what = "the countdown's last announcement",
       .placeholders = kCountdownFields,
       .undelivered = "the countdown's last announcement is never delivered",
       .substituted = {"Minutes", "PlayerName", "PlayerCount"},
       .passes = {kNoArguments}},
      {.pattern = "/Bellwright/WelcomeMessage/Message",
       .what = "the welcome text",
       .placeholders = kWelcomeFields,
       .undelivered = "the greeting is never delivered",
       .passes = {WelcomePass(), kNoArguments},
       .max_width = kLongestFormatField,
       .one_positional_field = true},
      {.pattern = "/Bellwright/WelcomeMessage/FirstJoinMessage",
       .what = "the first-join welcome text",
       .placeholders = kWelcomeFields,
       .undelivered = "first-time players get no greeting",
       .passes = {WelcomePass(), kNoArguments},
       .max_width = kLongestFormatField,
       .one_positional_field = true},
      {.pattern = "/Bellwright/WelcomeMessage/GroupMessages/*/Message",
       .what = "a group's welcome text",
       .placeholders = kWelcomeFields,
       .undelivered = "the group's members get no greeting",
       .passes = {WelcomePass(), kNoArguments},
       .max_width = kLongestFormatField,
       .one_positional_field = true},
  };
  return rules;
}

enum class TokenKind { kLiteral, kEscapedBrace, kField, kUnmatchedOpen, kLoneClose };

struct Token {
  TokenKind kind = TokenKind::kLiteral;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Splits a format text the way the formatter reads it: literal runs, doubled braces,
// replacement fields (which may nest one level for a dynamic width), stray braces.
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

bool NumberAbove(std::string_view digits, std::size_t bound) {
  const std::size_t start = std::min(digits.find_first_not_of('0'), digits.size());
  digits.remove_prefix(start);
  const std::string limit = std::to_string(bound);
  return digits.size() != limit.size() ? digits.size() > limit.size() : digits > limit;
}

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

// The formatter's complaint, or empty when it accepts the text.
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

// The token at which the formatter first refuses the text: it reads from left to
// right, so a prefix fails exactly when it holds that token.
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

// The text once the plug-in has replaced each "{Name}" of `names`: a doubled brace is
// literal text and read as one, and a value stands in as one letter.
PassedText Substituted(std::string_view text, const std::vector<std::string_view>& names) {
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
      const auto name = std::ranges::find_if(names, [rest](std::string_view candidate) {
        return rest.size() > candidate.size() && rest.starts_with(candidate) &&
               rest[candidate.size()] == '}';
      });
      if (name != names.end()) {
        after.text += 'x';
        after.origin.push_back(at);
        at += name->size() + 2;
        continue;
      }
    }
    keep(at);
    ++at;
  }
  return after;
}

std::string LiteralBraces(const TextRule& rule) {
  const std::size_t count = std::size_t{1} << std::min<std::size_t>(rule.passes.size(), 4);
  return fmt::format("\"{}\" or \"{}\"", std::string(count, '{'), std::string(count, '}'));
}

// The argument id of a field ("PlayerName" of "{PlayerName:>5}"); empty for "{}".
std::string_view FieldId(std::string_view field) {
  const std::string_view inside = field.substr(1);
  return inside.substr(0, std::min(inside.find_first_of(":{}"), inside.size()));
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

Fault FieldFault(std::string_view field, const std::string& complaint, const TextRule& rule) {
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

// The ids of a field and of the fields nested in its format options, in order.
std::vector<std::string_view> NestedFieldIds(std::string_view field) {
  std::vector<std::string_view> ids;
  for (std::size_t at = field.find('{'); at != std::string_view::npos;
       at = field.find('{', at + 1)) {
    ids.push_back(FieldId(field.substr(at)));
  }
  return ids;
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

const std::vector<TextRule>& TextRules() {
  return Rules();
}

std::optional<TextFault> CheckText(std::string_view text, const TextRule& rule) {
  PassedText passed = rule.substituted.empty() ? PassedText{std::string(text), {}}
                                               : Substituted(text, rule.substituted);
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

void CheckTexts(const nlohmann::json& document, Findings& findings) {
  for (const TextRule& rule : Rules()) {
    ForEachMatch(
        document, rule.pattern, [&](const std::string& pointer, const nlohmann::json& value) {
          if (!value.is_string()) {
            return;
          }
          if (auto fault = CheckText(value.get_ref<const std::string&>(), rule)) {
            findings.AtTextByte(fault->severity, pointer, fault->offset, std::move(fault->message));
          }
        });
  }
}

}  // namespace Bellwright::ConfigCheck
