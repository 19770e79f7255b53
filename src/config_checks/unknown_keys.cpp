#include "config_checks/unknown_keys.hpp"

#include <algorithm>
#include <set>
#include <string>
#include <valijson/adapters/nlohmann_json_adapter.hpp>
#include <valijson/schema.hpp>
#include <valijson/validation_results.hpp>
#include <valijson/validator.hpp>
#include <vector>

#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/key_suggestion.hpp"
#include "config_checks/schema.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

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

// The objects with at least one key the schema does not list.
std::set<std::string> ObjectsWithUnknownKeys(const json& document) {
  valijson::Validator validator(valijson::Validator::kStrongTypes);
  valijson::ValidationResults results;
  const valijson::adapters::NlohmannJsonAdapter adapter(document);
  validator.validate(ConfigSchema::Get().Validation(), adapter, &results);
  std::set<std::string> objects;
  for (const auto& error : results) {
    if (error.description.starts_with("Object contains a property that could not be validated")) {
      objects.insert(PointerOfContext(error.context));
    }
  }
  return objects;
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

void CheckUnknownKeys(const json& document, Findings& findings) {
  for (const std::string& pointer : ObjectsWithUnknownKeys(document)) {
    ReportUnknownKeys(document, pointer, findings);
  }
}

}  // namespace Bellwright::ConfigCheck
