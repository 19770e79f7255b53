#pragma once

#include <span>
#include <string_view>

#include "config_checks/json_text/finding.hpp"

// What the plug-in does with a value it cannot use, key by key: the consequences the
// findings state. Patterns are pointers with "*" for any member or element.
namespace Bellwright::ConfigCheck {

// "$default" in a consequence stands for the key's default from the schema.
struct WrongTypeRule {
  std::string_view pattern;
  // The rule also holds for every value below the pattern.
  bool covers_descendants = false;
  Severity severity = Severity::kError;
  std::string_view consequence;
  // The key's reader takes true and false as 1 and 0; the readers of the newer keys
  // take only numbers, and a boolean is a wrong type there like any other.
  bool reads_booleans_as_numbers = true;
};

struct EnumRule {
  std::string_view pattern;
  Severity severity = Severity::kError;
  std::string_view what;  // "a message type"
  std::string_view consequence;
  std::string_view values = "types";  // "the types are case-sensitive"
};

inline constexpr std::string_view kStopsCustomCommands =
    "this stops all custom commands from loading (at start-up none is registered; bw.reload "
    "refuses the whole file and keeps the previous one)";

std::span<const WrongTypeRule> WrongTypeRules();
std::span<const EnumRule> EnumRules();

// The rule of the pattern that matches exactly, else of the nearest covering one.
const WrongTypeRule* WrongTypeRuleFor(std::string_view pointer);
const EnumRule* EnumRuleFor(std::string_view pointer);

}  // namespace Bellwright::ConfigCheck
