#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace valijson {
class Schema;
}

namespace Bellwright::ConfigCheck {

// An object of the configuration whose keys the schema lists.
struct ObjectKind {
  std::string pattern;  // a pointer pattern, "*" for any member or element
  std::string title;    // "the Bellwright section", "a custom command", ...
  std::vector<std::string> keys;
  // The announcement lists and schedules, which repeat the keys of the timed messages:
  // named as the place of a key only when no older place reads it.
  bool named_only_when_alone = false;
};

// The configuration schema: the one list of the keys the plug-in reads, with their
// types, defaults and allowed values.
class ConfigSchema {
 public:
  // Parsed from the embedded text on first use.
  static const ConfigSchema& Get();

  ConfigSchema(const ConfigSchema&) = delete;
  ConfigSchema& operator=(const ConfigSchema&) = delete;
  ~ConfigSchema();

  [[nodiscard]] const nlohmann::json& Document() const { return document_; }
  [[nodiscard]] const valijson::Schema& Validation() const { return *validation_; }

  // The subschema describing the value at `pointer`, references resolved; null when
  // the schema says nothing about it.
  [[nodiscard]] const nlohmann::json* SubschemaAt(std::string_view pointer) const;

  // Every object that lists its keys, each place it can stand once.
  [[nodiscard]] const std::vector<ObjectKind>& ObjectKinds() const { return object_kinds_; }
  // The kind of the object at `pointer`, or null.
  [[nodiscard]] const ObjectKind* ObjectKindAt(std::string_view pointer) const;

  // Every value the schema describes, as patterns, in the schema's order.
  [[nodiscard]] const std::vector<std::string>& ValuePatterns() const { return value_patterns_; }

 private:
  ConfigSchema();
  [[nodiscard]] const nlohmann::json& Resolved(const nlohmann::json& subschema) const;
  void Collect(const nlohmann::json& subschema, const std::string& pattern, int depth);

  nlohmann::json document_;
  std::unique_ptr<valijson::Schema> validation_;
  std::vector<ObjectKind> object_kinds_;
  std::vector<std::string> value_patterns_;
};

}  // namespace Bellwright::ConfigCheck
