#include "config/setting_reader.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <cmath>

#include "base/ascii_case.hpp"
#include "base/list_text.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/text_faults.hpp"

namespace Bellwright {
namespace {

using ConfigCheck::Quote;
using nlohmann::json;

bool ReadsNumber(JsonKind kind) {
  return kind == JsonKind::kNumber || kind == JsonKind::kWholeNumber ||
         kind == JsonKind::kComponent;
}

// In the order of JsonKind.
constexpr std::string_view kExpectedPhrases[] = {
    "true or false",      "a string",  "a number", "a whole number",
    "a whole number",     "an object", "an array", "an array of strings",
    "an array of numbers"};

bool HasKind(const json& value, JsonKind kind) {
  if (ReadsNumber(kind)) {
    return value.is_number();
  }
  return kind == JsonKind::kBoolean  ? value.is_boolean()
         : kind == JsonKind::kString ? value.is_string()
         : kind == JsonKind::kObject ? value.is_object()
                                     : value.is_array();
}

// A value written in quotes that would be right without them.
std::string UnquoteHint(const json& value, JsonKind kind) {
  constexpr std::size_t kLongestHint = 32;
  if (!value.is_string() || value.get_ref<const std::string&>().size() > kLongestHint) {
    return {};
  }
  const std::string& text = value.get_ref<const std::string&>();
  const bool as_boolean = kind == JsonKind::kBoolean && (text == "true" || text == "false");
  const bool as_number = ReadsNumber(kind) && json::parse(text, nullptr, false).is_number();
  return as_boolean || as_number ? fmt::format(" (write {} without quotes)", text) : std::string();
}

std::string Consequence(const WrongType& wrong, const json& fallback) {
  std::string consequence(wrong.consequence);
  if (const auto marker = consequence.find("$default"); marker != std::string::npos) {
    consequence.replace(marker, 8, fallback.is_null() ? "its default" : fallback.dump());
  }
  return consequence;
}

}  // namespace

std::string SettingValue::Key() const {
  const std::vector<std::string> tokens = ConfigCheck::PointerTokens(pointer_);
  return tokens.empty() ? std::string() : tokens.back();
}

SettingValue SettingValue::Member(std::string_view key) const {
  const json* member = value_ != nullptr ? ConfigCheck::Member(*value_, key) : nullptr;
  return {member, ConfigCheck::ChildPointer(pointer_, key), *findings_};
}

std::vector<SettingValue> SettingValue::Elements() const {
  std::vector<SettingValue> elements;
  if (IsArray()) {
    elements.reserve(value_->size());
    for (std::size_t index = 0; index < value_->size(); ++index) {
      elements.emplace_back(&(*value_)[index], ConfigCheck::ChildPointer(pointer_, index),
                            *findings_);
    }
  }
  return elements;
}

std::vector<std::pair<std::string_view, SettingValue>> SettingValue::Members() const {
  std::vector<std::pair<std::string_view, SettingValue>> members;
  if (IsObject()) {
    members.reserve(value_->size());
    for (auto member = value_->begin(); member != value_->end(); ++member) {
      const std::string& key = member.key();
      members.emplace_back(
          key, SettingValue(&member.value(), ConfigCheck::ChildPointer(pointer_, key), *findings_));
    }
  }
  return members;
}

std::vector<SettingValue> SettingValue::Entries() const {
  if (IsArray()) {
    return Elements();
  }
  std::vector<SettingValue> entries;
  for (auto& [key, member] : Members()) {
    entries.push_back(std::move(member));
  }
  return entries;
}

bool SettingValue::Takes(JsonKind kind, const WrongType& wrong) const {
  return value_ != nullptr &&
         (HasKind(*value_, kind) ||
          (ReadsNumber(kind) && value_->is_boolean() && wrong.reads_booleans_as_numbers));
}

bool SettingValue::Judge(JsonKind kind, const WrongType& wrong, const json& fallback) const {
  if (value_ == nullptr) {
    return false;
  }
  const json& value = *value_;
  if (!Takes(kind, wrong)) {
    const std::string found = fmt::format("is {}, not {}", ConfigCheck::TypePhrase(value),
                                          kExpectedPhrases[static_cast<std::size_t>(kind)]);
    const std::string hint = UnquoteHint(value, kind);
    if (wrong.unread) {
      AtValue(kWarning, fmt::format("{}{}; {}", found, hint, wrong.consequence));
    } else {
      AtValue(wrong.severity, fmt::format("{}: {}{}", found, Consequence(wrong, fallback), hint));
    }
    return false;
  }
  if (kind == JsonKind::kWholeNumber && value.is_number_float()) {
    const double number = value.get<double>();
    if (std::trunc(number) != number) {
      AtValue(kWarning, fmt::format("{} is read as {:.0f}: the fraction is dropped", value.dump(),
                                    std::trunc(number)));
    }
  } else if (value.is_boolean() && ReadsNumber(kind)) {
    AtValue(kWarning, fmt::format("{} is not a number: it reads as {}", value.dump(),
                                  value.get<bool>() ? 1 : 0));
  }
  return true;
}

long long SettingValue::WholeNumberOr(long long fallback, long long lowest, long long highest,
                                      const WrongType& wrong) const {
  if (!Judge(JsonKind::kWholeNumber, wrong, fallback) || !value_->is_number()) {
    return fallback;
  }
  if (value_->is_number_integer()) {
    // Unsigned numbers past the signed range are as "too large" as any other.
    if (value_->is_number_unsigned() &&
        value_->get<unsigned long long>() > static_cast<unsigned long long>(highest)) {
      return highest;
    }
    return std::clamp(value_->get<long long>(), lowest, highest);
  }
  const double truncated = std::trunc(value_->get<double>());
  if (std::isnan(truncated)) {
    return fallback;
  }
  if (truncated <= static_cast<double>(lowest)) {
    return lowest;
  }
  if (truncated >= static_cast<double>(highest)) {
    return highest;
  }
  return static_cast<long long>(truncated);
}

std::string SettingValue::ChoiceOr(std::string_view fallback, const WrongType& wrong,
                                   const Choices& choices) const {
  std::string text = ValueOr<std::string>(std::string(fallback), wrong);
  JudgeChoice(choices);
  return text;
}

void SettingValue::JudgeChoice(const Choices& choices) const {
  if (!IsString()) {
    return;
  }
  const std::string& text = value_->get_ref<const std::string&>();
  if (std::ranges::find(choices.allowed, text) != choices.allowed.end()) {
    return;
  }
  std::vector<std::string> allowed;
  std::string same_but_case;
  for (const std::string_view option : choices.allowed) {
    allowed.push_back(Quote(option));
    if (EqualIgnoringAsciiCase(text, option)) {
      same_but_case = option;
    }
  }
  const std::string fix = same_but_case.empty()
                              ? fmt::format("use one of {}", fmt::join(allowed, ", "))
                              : fmt::format("the {} are case-sensitive: write {}", choices.values,
                                            Quote(same_but_case));
  AtValue(choices.severity,
          fmt::format("{} is not {}: {}; {}", Quote(text), choices.what, choices.consequence, fix));
}

void SettingValue::JudgeText(const ConfigCheck::TextRule& rule) const {
  if (!IsString()) {
    return;
  }
  if (auto fault = ConfigCheck::CheckText(value_->get_ref<const std::string&>(), rule)) {
    findings_->AtTextByte(fault->severity, pointer_, fault->offset, std::move(fault->message));
  }
}

std::string SettingValue::TextOr(std::string fallback, const WrongType& wrong,
                                 const ConfigCheck::TextRule& rule) const {
  std::string text = ValueOr<std::string>(std::move(fallback), wrong);
  JudgeText(rule);
  return text;
}

std::optional<std::vector<std::string>> SettingValue::StrictTexts(const WrongType& wrong) const {
  if (value_ == nullptr) {
    return std::vector<std::string>{};
  }
  if (!Judge(JsonKind::kStringArray, wrong)) {
    return std::nullopt;
  }
  std::vector<std::string> texts;
  bool readable = true;
  for (const SettingValue& element : Elements()) {
    if (element.Judge(JsonKind::kString, wrong)) {
      texts.push_back(element.value_->get<std::string>());
    } else {
      readable = false;
    }
  }
  return readable ? std::optional(std::move(texts)) : std::nullopt;
}

void SettingValue::AtValue(Severity severity, std::string message) const {
  findings_->AtValue(severity, pointer_, std::move(message));
}

void SettingValue::AtKey(Severity severity, std::string message) const {
  findings_->AtKey(severity, pointer_, std::move(message));
}

void JudgeVisible(const SettingValue& display_time, const SettingValue& display_scale,
                  std::string_view whose) {
  struct Number {
    const SettingValue& value;
    const char* words;
    const char* fix;
  };
  for (const Number& number :
       {Number{display_time, "display time", "give it the seconds it should stay, such as 10"},
        Number{display_scale, "display scale", "1 is the normal size"}}) {
    if (number.value.IsNumber() && number.value.Json()->get<double>() <= 0) {
      number.value.AtValue(Severity::kWarning,
                           fmt::format("{} {}: {} cannot be seen; {}", number.words,
                                       number.value.Json()->dump(), whose, number.fix));
    }
  }
}

std::string QuotedList(const std::vector<std::string>& keys, std::string_view last_joint) {
  std::vector<std::string> quoted;
  quoted.reserve(keys.size());
  for (const std::string& key : keys) {
    quoted.push_back(Quote(key));
  }
  return JoinedAsList(quoted, last_joint);
}

}  // namespace Bellwright
