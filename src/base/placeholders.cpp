#include "base/placeholders.hpp"

#include <algorithm>
#include <utility>

#include "base/count_forms.hpp"

namespace Bellwright {

std::optional<PlaceholderText::Field> PlaceholderText::FieldAt(
    std::u16string_view units, std::size_t brace, std::span<const std::u16string_view> names) {
  const std::u16string_view rest = units.substr(brace + 1);
  for (std::size_t name = 0; name < names.size(); ++name) {
    const std::u16string_view candidate = names[name];
    if (rest.size() <= candidate.size() || !rest.starts_with(candidate)) {
      continue;
    }
    if (rest[candidate.size()] == u'}') {
      return Field{.begin = brace, .end = brace + candidate.size() + 2, .name = name};
    }
    if (!TakesCountForms(candidate, kCountFieldWideNames)) {
      continue;
    }
    const std::u16string_view after_name = rest.substr(candidate.size());
    if (const auto forms = ReadCountForms(after_name)) {
      return Field{brace,
                   brace + 1 + candidate.size() + forms->length,
                   name,
                   after_name.substr(forms->one_begin, forms->one_size),
                   after_name.substr(forms->other_begin, forms->other_size),
                   true};
    }
  }
  return std::nullopt;
}

PlaceholderText::PlaceholderText(const FString& text, std::span<const std::u16string_view> names)
    : text_(&text) {
  const std::u16string_view units = text.Wide();
  std::size_t index = 0;
  while (index < units.size()) {
    const char16_t unit = units[index];
    if (unit != u'{' && unit != u'}') {
      ++index;
      continue;
    }
    // A doubled brace is literal text, read as one unit as the formatting reads it.
    if (index + 1 < units.size() && units[index + 1] == unit) {
      index += 2;
      continue;
    }
    if (unit == u'{') {
      if (const auto field = FieldAt(units, index, names)) {
        fields_.push_back(*field);
        used_ |= 1U << field->name;
        index = field->end;
        continue;
      }
    }
    // A lone brace is the delivery's to refuse.
    ++index;
  }
}

FString PlaceholderText::Fill(std::span<const std::u16string_view> values) const {
  if (fields_.empty()) {
    return *text_;
  }
  const std::u16string_view units = text_->Wide();
  std::u16string filled;
  filled.reserve(units.size() + 16 * fields_.size());
  std::size_t copied = 0;
  for (const Field& field : fields_) {
    filled.append(units.substr(copied, field.begin - copied));
    const std::u16string_view value =
        field.name < values.size() ? values[field.name] : std::u16string_view();
    AppendWithBracesDoubled(filled, value);
    if (field.with_word) {
      filled += u' ';
      filled.append(value == u"1" ? field.one : field.other);
    }
    copied = field.end;
  }
  filled.append(units.substr(copied));
  return FString(std::move(filled));
}

std::u16string DecimalText(long long number) {
  const std::string digits = std::to_string(number);
  return {digits.begin(), digits.end()};
}

}  // namespace Bellwright
