#include "config_checks/schema_findings.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>
#include <string>
#include <valijson/adapters/nlohmann_json_adapter.hpp>
#include <valijson/schema.hpp>
#include <valijson/validation_results.hpp>
#include <valijson/validator.hpp>
#include <vector>

#include "config_checks/colour_checks.hpp"
#include "config_checks/custom_command_checks.hpp"
#include "config_checks/json_text/ascii_case.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/key_suggestion.hpp"
#include "config_checks/plugin_reads.hpp"
#include "config_checks/schema.hpp"
#include "config_checks/value_rules.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

// The breaches of the schema, by the pointer of the value (or object) concerned.
struct Breaches {
  std::set<std::string> wrong_type;
  std::set<std::string> not_in_enum;
  std::set<std::string> unknown_keys;  // objects with at least one
};

// valijson names a value by its path, "<root>" then "[key]" or "[index]" per level.
std::string PointerOfContext(const std::vector<std::string>& context) {
  std::string pointer;
  for (std::size_t level = 1; level < context.size(); ++level) {
    const std::string& step = context[level];
    pointer = ChildPointer(
        pointer, std::string_view(step).substr(1, step.size() >= 2 ? step.size() - 2 : 0));
  }
  return pointer;
}

Breaches Validate(const json& document) {
  valijson::Validator validator(valijson::Validator::kStrongTypes);
  valijson::ValidationResults results;
  const valijson::adapters::NlohmannJsonAdapter adapter(document);
  validator.validate(ConfigSchema::Get().Validation(), adapter, &results);
  Breaches breaches;
  for (const auto& error : results) {
    const std::string& description = error.description;
    if (description.starts_with("Value type not permitted")) {
      breaches.wrong_type.insert(PointerOfContext(error.context));
    } else if (description.starts_with("Failed to match against any enum values")) {
      breaches.not_in_enum.insert(PointerOfContext(error.context));
    } else if (description.starts_with("Object contains a property that could not be validated")) {
      breaches.unknown_keys.insert(PointerOfContext(error.context));
    }
  }
  return breaches;
}

std::vector<std::string> SchemaTypes(const json& subschema) {
  const auto type = subschema.find("type");
  if (type == subschema.end()) {
    return {};
  }
  if (type->is_string()) {
    return {type->get<std::string>()};
  }
  std::vector<std::string> types;
  for (const json& name : *type) {
    if (name.is_string()) {
      types.push_back(name.get<std::string>());
    }
  }
  return types;
}

bool Expects(const std::vector<std::string>& types, std::string_view type) {
  return std::ranges::find(types, type) != types.end();
}

std::string ExpectedPhrase(const json& subschema) {
  const std::vector<std::string> types = SchemaTypes(subschema);
  const std::string type = types.empty() ? std::string() : types.front();
  if (type == "boolean") {
    return "true or false";
  }
  if (type == "integer") {
    return "a whole number";
  }
  if (type == "number") {
    return "a number";
  }
  if (type == "string") {
    return "a string";
  }
  if (type == "object") {
    return "an object";
  }
  if (type == "array") {
    const auto items = subschema.find("items");
    const std::vector<std::string> item_types = items != subschema.end() && items->is_object()
                                                    ? SchemaTypes(*items)
                                                    : std::vector<std::string>{};
    if (!item_types.empty() && (item_types.front() == "string" || item_types.front() == "number")) {
      return fmt::format("an array of {}s", item_types.front());
    }
    return "an array";
  }
  return "another type";
}

// A value written in quotes that would be right without them.
std::string UnquoteHint(const json& value, const std::vector<std::string>& types) {
  constexpr std::size_t kLongestHint = 32;
  if (!value.is_string() || value.get_ref<const std::string&>().size() > kLongestHint) {
    return {};
  }
  const std::string& text = value.get_ref<const std::string&>();
  const bool as_boolean = Expects(types, "boolean") && (text == "true" || text == "false");
  const json number = json::parse(text, nullptr, false);
  const bool as_number =
      (Expects(types, "number") || Expects(types, "integer")) && number.is_number();
  return as_boolean || as_number ? fmt::format(" (write {} without quotes)", text) : std::string();
}

std::string Consequence(const WrongTypeRule& rule, const json& subschema) {
  std::string consequence(rule.consequence);
  if (const auto marker = consequence.find("$default"); marker != std::string::npos) {
    const auto fallback = subschema.find("default");
    consequence.replace(marker, 8, fallback != subschema.end() ? fallback->dump() : "its default");
  }
  return consequence;
}

void ReportWrongType(const json& document, const std::string& pointer, Findings& findings) {
  const json* value = ValueAt(document, pointer);
  const json* subschema = ConfigSchema::Get().SubschemaAt(pointer);
  if (pointer.empty() || value == nullptr || subschema == nullptr ||
      !PluginReads(document, pointer)) {
    return;
  }
  const WrongTypeRule* rule = WrongTypeRuleFor(pointer);
  const std::vector<std::string> types = SchemaTypes(*subschema);
  if (Expects(types, "integer") && value->is_number_float()) {
    const double number = value->get<double>();
    if (std::trunc(number) != number && !IsColourComponent(pointer)) {
      findings.AtValue(Severity::kWarning, pointer,
                       fmt::format("{} is read as {:.0f}: the fraction is dropped", value->dump(),
                                   std::trunc(number)));
    }
    return;
  }
  if ((Expects(types, "number") || Expects(types, "integer")) && value->is_boolean() &&
      (rule == nullptr || rule->reads_booleans_as_numbers)) {
    findings.AtValue(Severity::kWarning, pointer,
                     fmt::format("{} is not a number: it reads as {}", value->dump(),
                                 value->get<bool>() ? 1 : 0));
    return;
  }
  if (pointer == "/CustomCommands" && (value->is_null() || (value->is_array() && value->empty()))) {
    findings.AtValue(Severity::kWarning, pointer,
                     fmt::format("is {}, not an object: no custom command is loaded",
                                 value->is_null() ? "null" : "an empty array"));
    return;
  }
  if (rule == nullptr) {
    return;
  }
  const std::string found =
      fmt::format("is {}, not {}", TypePhrase(*value), ExpectedPhrase(*subschema));
  const std::string hint = UnquoteHint(*value, types);
  if (!TimedMessageReads(document, pointer)) {
    findings.AtValue(Severity::kWarning, pointer,
                     fmt::format("{}{}; this message's type does not read it, but a change of "
                                 "\"MessageType\" would stop the message",
                                 found, hint));
    return;
  }
  findings.AtValue(rule->severity, pointer,
                   fmt::format("{}: {}{}", found, Consequence(*rule, *subschema), hint));
}

void ReportNotInEnum(const json& document, const std::string& pointer, Findings& findings) {
  const json* value = ValueAt(document, pointer);
  const json* subschema = ConfigSchema::Get().SubschemaAt(pointer);
  const EnumRule* rule = EnumRuleFor(pointer);
  if (value == nullptr || !value->is_string() || subschema == nullptr || rule == nullptr ||
      !subschema->contains("enum") || !PluginReads(document, pointer)) {
    return;
  }
  const std::string& text = value->get_ref<const std::string&>();
  std::vector<std::string> allowed;
  std::string same_but_case;
  for (const json& option : subschema->at("enum")) {
    allowed.push_back(Quote(option.get<std::string>()));
    if (EqualIgnoringAsciiCase(text, option.get<std::string>())) {
      same_but_case = option.get<std::string>();
    }
  }
  const std::string fix =
      same_but_case.empty()
          ? fmt::format("use one of {}", fmt::join(allowed, ", "))
          : fmt::format("the {} are case-sensitive: write {}", rule->values, Quote(same_but_case));
  findings.AtValue(
      rule->severity, pointer,
      fmt::format("{} is not {}: {}; {}", Quote(text), rule->what, rule->consequence, fix));
}

void ReportUnknownKeys(const json& document, const std::string& pointer, Findings& findings) {
  const ConfigSchema& schema = ConfigSchema::Get();
  const json* object = ValueAt(document, pointer);
  const ObjectKind* kind = schema.ObjectKindAt(pointer);
  if (object == nullptr || !object->is_object() || kind == nullptr) {
    return;
  }
  for (const auto& member : object->items()) {
    const std::string& key = member.key();
    if (std::ranges::find(kind->keys, key) == kind->keys.end()) {
      // The suggestion weighs every known key: made only for a finding that is kept.
      findings.AtKey(Severity::kWarning, ChildPointer(pointer, key),
                     [&] { return UnknownKeyMessage(key, *kind, schema.ObjectKinds()); });
    }
  }
}

}  // namespace

void CheckAgainstSchema(const json& document, Findings& findings) {
  const Breaches breaches = Validate(document);
  for (const std::string& pointer : breaches.wrong_type) {
    ReportWrongType(document, pointer, findings);
  }
  for (const std::string& pointer : breaches.not_in_enum) {
    if (!breaches.wrong_type.contains(pointer)) {
      ReportNotInEnum(document, pointer, findings);
    }
  }
  for (const std::string& pointer : breaches.unknown_keys) {
    ReportUnknownKeys(document, pointer, findings);
  }
}

}  // namespace Bellwright::ConfigCheck
