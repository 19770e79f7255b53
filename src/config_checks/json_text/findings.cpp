#include "config_checks/json_text/findings.hpp"

#include <algorithm>

#include "config_checks/json_text/string_token.hpp"

namespace Bellwright::ConfigCheck {

void Findings::AtOffset(Severity severity, std::string pointer, std::size_t offset,
                        std::string message) {
  const LineColumn place = index_.Locate(offset);
  placed_.push_back({offset, Finding{severity, std::move(pointer), place.line, place.column,
                                     std::move(message)}});
}

void Findings::AtValue(Severity severity, std::string pointer, std::string message) {
  const std::optional<ValuePlace> place = index_.Find(pointer);
  const std::size_t offset = place ? place->value_offset : 0;
  AtOffset(severity, std::move(pointer), offset, std::move(message));
}

void Findings::AtKey(Severity severity, std::string pointer, std::string message) {
  const std::optional<ValuePlace> place = index_.Find(pointer);
  const std::size_t offset = place ? place->key_offset.value_or(place->value_offset) : 0;
  AtOffset(severity, std::move(pointer), offset, std::move(message));
}

void Findings::AtTextByte(Severity severity, std::string pointer, std::size_t decoded_offset,
                          std::string message) {
  const std::optional<ValuePlace> place = index_.Find(pointer);
  const std::size_t offset =
      place ? OffsetOfDecodedByte(index_.Text(), place->value_offset, decoded_offset) : 0;
  AtOffset(severity, std::move(pointer), offset, std::move(message));
}

bool Findings::HasErrorAt(std::string_view pointer) const {
  return std::ranges::any_of(placed_, [pointer](const Placed& placed) {
    return placed.finding.severity == Severity::kError && placed.finding.pointer == pointer;
  });
}

std::vector<Finding> Findings::TakeInFileOrder() {
  std::stable_sort(placed_.begin(), placed_.end(), [](const Placed& left, const Placed& right) {
    return left.offset < right.offset;
  });
  std::vector<Finding> findings;
  findings.reserve(placed_.size());
  for (Placed& placed : placed_) {
    findings.push_back(std::move(placed.finding));
  }
  placed_.clear();
  return findings;
}

}  // namespace Bellwright::ConfigCheck
