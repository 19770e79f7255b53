#include "base/placeholders.hpp"

#include <algorithm>
#include <utility>

namespace Bellwright {
namespace {

void AppendEscaped(std::u16string& out, std::u16string_view value) {
  for (const char16_t unit : value) {
    out += unit;
    if (unit == u'{' || unit == u'}') {
      out += unit;
    }
  }
}

}  // namespace

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
      const std::u16string_view rest = units.substr(index + 1);
      const auto name = std::find_if(names.begin(), names.end(), [rest](std::u16string_view n) {
        return rest.size() > n.size() && rest.starts_with(n) && rest[n.size()] == u'}';
      });
      if (name != names.end()) {
        const auto name_index = static_cast<std::size_t>(name - names.begin());
        fields_.push_back({index, index + name->size() + 2, name_index});
        used_ |= 1U << name_index;
        index += name->size() + 2;
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
    AppendEscaped(filled, field.name < values.size() ? values[field.name] : std::u16string_view());
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
