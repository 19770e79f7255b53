#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "config_checks/json_text/finding.hpp"
#include "config_checks/json_text/findings.hpp"

namespace Bellwright::ConfigCheck {
struct TextRule;
}

// What the section readers read with: a value of the configuration at its place in
// the file. Each read judges the value in the same step, so what the plug-in takes
// from a value and what the checks say of it are one reading, as a compiler's
// diagnostics come from the parse that builds the program.
namespace Bellwright {

using ConfigCheck::Severity;
inline constexpr Severity kError = Severity::kError;
inline constexpr Severity kWarning = Severity::kWarning;

// The JSON type a reader takes, as a finding names it.
enum class JsonKind {
  kBoolean,      // "true or false"
  kString,       // "a string"
  kNumber,       // "a number"
  kWholeNumber,  // "a whole number": a fraction is dropped, and a warning says so
  kComponent,    // a colour component: a whole number whose fraction the colour judges
  kObject,       // "an object"
  kArray,        // "an array"
  kStringArray,  // "an array of strings"
  kNumberArray,  // "an array of numbers"
};

// The JSON type a typed read of `T` takes unless told otherwise.
template <typename T>
inline constexpr JsonKind KindOf = std::is_same_v<T, bool>          ? JsonKind::kBoolean
                                   : std::is_same_v<T, std::string> ? JsonKind::kString
                                                                    : JsonKind::kNumber;

// What a value of another JSON type costs.
struct WrongType {
  Severity severity = Severity::kError;
  // "$default" stands for the default the read is given, written as JSON.
  std::string_view consequence;
  // The JSON library's typed reads take true and false as 1 and 0; the readers of the
  // newer keys take numbers only, and a boolean is a wrong type there like any other.
  bool reads_booleans_as_numbers = true;
  // The value is not read as things stand (another message type would read it): the
  // consequence says so after the found type, as a warning.
  bool unread = false;
};
inline constexpr bool kNumbersOnly = false;

// The strings a key takes, written exactly so; any other string is read all the same
// and has a finding saying what it does.
struct Choices {
  std::span<const std::string_view> allowed;
  Severity severity = Severity::kError;
  std::string_view what;  // "a message type"
  std::string_view consequence;
  std::string_view values = "types";  // "the types are case-sensitive"
};

// A value of the configuration, or its absence, at its place in the file.
class SettingValue {
 public:
  SettingValue(const nlohmann::json* value, std::string pointer, ConfigCheck::Findings& findings)
      : value_(value), pointer_(std::move(pointer)), findings_(&findings) {}

  [[nodiscard]] bool Present() const { return value_ != nullptr; }
  [[nodiscard]] const nlohmann::json* Json() const { return value_; }
  [[nodiscard]] bool IsObject() const { return value_ != nullptr && value_->is_object(); }
  [[nodiscard]] bool IsArray() const { return value_ != nullptr && value_->is_array(); }
  [[nodiscard]] bool IsString() const { return value_ != nullptr && value_->is_string(); }
  [[nodiscard]] bool IsNumber() const { return value_ != nullptr && value_->is_number(); }
  [[nodiscard]] const std::string& Pointer() const { return pointer_; }
  // The key or index this value stands at, as its pointer spells it.
  [[nodiscard]] std::string Key() const;
  [[nodiscard]] ConfigCheck::Findings& Findings() const { return *findings_; }

  // A member: absent when this is not an object or has no such key.
  [[nodiscard]] SettingValue Member(std::string_view key) const;
  // The elements of an array (none for anything else), in order.
  [[nodiscard]] std::vector<SettingValue> Elements() const;
  // The members of an object (none for anything else), in the document's order.
  [[nodiscard]] std::vector<std::pair<std::string_view, SettingValue>> Members() const;
  // The elements of an array or the members of an object, in order.
  [[nodiscard]] std::vector<SettingValue> Entries() const;

  // Whether the value is there and the reader can take it as `kind`, without a word.
  [[nodiscard]] bool Takes(JsonKind kind, const WrongType& wrong) const;

  // Whether the value is there and the reader can take it as `kind`: of that type, a
  // number with a fraction where a whole number is read (a warning), a boolean where
  // a number is read and `wrong` allows it (a warning). A value of another type gets
  // the finding `wrong` describes, `fallback` naming the default.
  bool Judge(JsonKind kind, const WrongType& wrong, const nlohmann::json& fallback = nullptr) const;

  // Lenient read, as the JSON library's typed read of `T`: `fallback` when the value is
  // absent or of another type.
  template <typename T>
  [[nodiscard]] T ValueOr(T fallback, const WrongType& wrong, JsonKind kind = KindOf<T>) const {
    if (!Judge(kind, wrong, fallback)) {
      return fallback;
    }
    // The library reads true and false as numbers of some types only (float, int), not
    // of others (double): exactly its typed read, whatever the judge said.
    try {
      return value_->get<T>();
    } catch (const nlohmann::json::exception&) {
      return fallback;
    }
  }
  // Strict read: `fallback` when absent, none when of another type.
  template <typename T>
  [[nodiscard]] std::optional<T> Strict(T fallback, const WrongType& wrong,
                                        JsonKind kind = KindOf<T>) const {
    if (value_ == nullptr) {
      return fallback;
    }
    return Judge(kind, wrong, fallback) ? std::optional<T>(value_->get<T>()) : std::nullopt;
  }
  // Strict, every element a string (each other one has its finding); empty when absent.
  [[nodiscard]] std::optional<std::vector<std::string>> StrictTexts(const WrongType& wrong) const;

  // Lenient: truncated toward zero and held to [lowest, highest]; numbers only.
  [[nodiscard]] long long WholeNumberOr(long long fallback, long long lowest, long long highest,
                                        const WrongType& wrong) const;
  // Lenient: a text of `choices`, or any other string with a finding saying what it does.
  [[nodiscard]] std::string ChoiceOr(std::string_view fallback, const WrongType& wrong,
                                     const Choices& choices) const;
  // The finding of a string outside `choices`.
  void JudgeChoice(const Choices& choices) const;
  // The first reason a text cannot go out as `rule` formats it, placed in the text.
  void JudgeText(const ConfigCheck::TextRule& rule) const;
  // Lenient: a string, judged as `rule` formats it.
  [[nodiscard]] std::string TextOr(std::string fallback, const WrongType& wrong,
                                   const ConfigCheck::TextRule& rule) const;

  // Findings about this value.
  void AtValue(Severity severity, std::string message) const;
  void AtKey(Severity severity, std::string message) const;

 private:
  const nlohmann::json* value_;
  std::string pointer_;
  ConfigCheck::Findings* findings_;
};

// A notification needs a display time and a scale above 0 to be seen; `whose` names
// it ("the greeting").
void JudgeVisible(const SettingValue& display_time, const SettingValue& display_scale,
                  std::string_view whose);

// "a, b and c" for keys quoted as findings quote them.
std::string QuotedList(const std::vector<std::string>& keys, std::string_view last_joint = " and ");

}  // namespace Bellwright
