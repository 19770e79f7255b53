#include "config_checks/schema.hpp"

#include <algorithm>
#include <valijson/adapters/nlohmann_json_adapter.hpp>
#include <valijson/schema.hpp>
#include <valijson/schema_parser.hpp>

#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/schema_text.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

// The schema nests a few levels; a deeper walk means a reference loop.
constexpr int kMaxSchemaDepth = 16;

}  // namespace

const ConfigSchema& ConfigSchema::Get() {
  static const ConfigSchema schema;
  return schema;
}

ConfigSchema::ConfigSchema()
    : document_(json::parse(SchemaText())), validation_(std::make_unique<valijson::Schema>()) {
  valijson::SchemaParser parser(valijson::SchemaParser::kDraft7);
  const valijson::adapters::NlohmannJsonAdapter adapter(document_);
  parser.populateSchema(adapter, *validation_);
  Collect(document_, std::string(), 0);
  // A key is suggested by the first place that reads it: that stays the older sections'.
  // The lists, the schedules and the countdown restate a timed message's keys.
  for (ObjectKind& kind : object_kinds_) {
    kind.named_only_when_alone = kind.pattern.starts_with("/Announcements") ||
                                 kind.pattern.starts_with("/Schedules") ||
                                 kind.pattern.starts_with("/Countdown");
  }
  // Not the ranges form: clang 14 cannot instantiate it over libstdc++ 12's subrange.
  std::stable_partition(object_kinds_.begin(), object_kinds_.end(),
                        [](const ObjectKind& kind) { return !kind.named_only_when_alone; });
}

ConfigSchema::~ConfigSchema() = default;

const json& ConfigSchema::Resolved(const json& subschema) const {
  const json* current = &subschema;
  for (int step = 0; step < kMaxSchemaDepth; ++step) {
    const auto reference = current->find("$ref");
    if (reference == current->end() || !reference->is_string()) {
      break;
    }
    const std::string& target = reference->get_ref<const std::string&>();
    if (!target.starts_with('#')) {
      break;
    }
    current = &document_.at(json::json_pointer(target.substr(1)));
  }
  return *current;
}

void ConfigSchema::Collect(const json& subschema, const std::string& pattern, int depth) {
  if (depth > kMaxSchemaDepth) {
    return;
  }
  const json& schema = Resolved(subschema);
  if (!pattern.empty()) {
    value_patterns_.push_back(pattern);
  }
  if (const auto properties = schema.find("properties"); properties != schema.end()) {
    ObjectKind kind{pattern, schema.value("title", std::string()), {}, false};
    for (const auto& [key, property] : properties->items()) {
      kind.keys.push_back(key);
    }
    object_kinds_.push_back(kind);
    for (const auto& [key, property] : properties->items()) {
      Collect(property, ChildPointer(pattern, key), depth + 1);
    }
  }
  for (const char* any_member : {"additionalProperties", "items"}) {
    if (const auto member = schema.find(any_member);
        member != schema.end() && member->is_object()) {
      Collect(*member, pattern + "/*", depth + 1);
    }
  }
}

const json* ConfigSchema::SubschemaAt(std::string_view pointer) const {
  const json* schema = &Resolved(document_);
  for (const std::string& token : PointerTokens(pointer)) {
    const json* next = nullptr;
    if (const auto properties = schema->find("properties"); properties != schema->end()) {
      if (const auto property = properties->find(token); property != properties->end()) {
        next = &*property;
      }
    }
    for (const char* any_member : {"additionalProperties", "items"}) {
      if (next != nullptr) {
        break;
      }
      if (const auto member = schema->find(any_member);
          member != schema->end() && member->is_object()) {
        next = &*member;
      }
    }
    if (next == nullptr) {
      return nullptr;
    }
    schema = &Resolved(*next);
  }
  return schema;
}

const ObjectKind* ConfigSchema::ObjectKindAt(std::string_view pointer) const {
  for (const ObjectKind& kind : object_kinds_) {
    if (MatchesPattern(kind.pattern, pointer)) {
      return &kind;
    }
  }
  return nullptr;
}

}  // namespace Bellwright::ConfigCheck
