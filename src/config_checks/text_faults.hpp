#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config_checks/format_tokens.hpp"
#include "config_checks/json_text/finding.hpp"

// Why a text of the configuration cannot go out, in the words of a finding: the
// formatter's refusal placed at the piece it refuses, with how to write it instead.
namespace Bellwright::ConfigCheck {

// A text of the configuration and how the plug-in formats it on its way to a player:
// fields filled in by plain substitution first, then each pass in order. A literal
// brace needs doubling once per pass.
struct TextRule {
  std::string_view what;         // "the welcome text"
  std::string placeholders;      // "no placeholders", "{PlayerName} and {PlayerCount}"
  std::string_view undelivered;  // what a text that fails to format costs
  // Names the plug-in replaces where they stand exactly so, "{Name}", between single
  // braces; its values have their braces doubled, so they never make a field.
  std::vector<std::string_view> substituted = {};
  // Counts whose form with words, "{PlayerCount|player|players}", the plug-in writes out
  // before the first pass as the count's own field, a blank and the word; the field
  // itself is left to the passes.
  std::vector<std::string_view> counts_with_words = {};
  std::vector<FormatPass> passes = {};
  // A field asking for a wider width or precision makes the plug-in refuse the text;
  // 0: no bound.
  std::size_t max_width = 0;
  // The first pass reaches its named fields by position too, and the plug-in refuses a
  // text that takes more by position than {0} or one {}.
  bool one_positional_field = false;
};

// The delivery's one formatting, which every text goes through last: no arguments.
const FormatPass& NoArguments();

// A text that goes through the delivery's formatting only, once `substituted` are
// filled; they are its placeholders.
TextRule FormattedOnce(std::string_view what, std::string_view undelivered,
                       std::vector<std::string_view> substituted = {});

struct TextFault {
  std::size_t offset = 0;  // byte of the decoded text to point at
  Severity severity = Severity::kError;
  std::string message;
};

// The first reason `text` cannot go out as `rule` formats it, if any. The fmt
// library itself decides what it accepts; this only finds where the fault lies.
std::optional<TextFault> CheckText(std::string_view text, const TextRule& rule);

}  // namespace Bellwright::ConfigCheck
