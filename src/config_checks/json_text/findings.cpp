#include "config_checks/json_text/findings.hpp"

#include <algorithm>

#include "config_checks/json_text/string_token.hpp"

namespace Bellwright::ConfigCheck {
namespace {

struct LaterInFile {
  template <typename Placed>
  bool operator()(const Placed& left, const Placed& right) const {
    return left.offset != right.offset ? left.offset < right.offset
                                       : left.sequence < right.sequence;
  }
};

}  // namespace

bool Findings::MakeRoomFor(std::size_t offset) {
  if (placed_.size() < kMostFindings) {
    return true;
  }
  ++omitted_;
  // A later finding at the same place as the last kept one comes after it.
  if (offset >= placed_.front().offset) {
    return false;
  }
  std::pop_heap(placed_.begin(), placed_.end(), LaterInFile{});
  placed_.pop_back();
  return true;
}

void Findings::Place(std::size_t offset, Finding finding) {
  if (finding.severity == Severity::kError) {
    error_pointers_.insert(finding.pointer);
  }
  if (finding.severity == Severity::kError && watched_pointer_ &&
      finding.pointer == *watched_pointer_ && (!watched_error_ || offset < watched_offset_)) {
    watched_error_ = finding;
    watched_offset_ = offset;
  }
  if (!MakeRoomFor(offset)) {
    return;
  }
  placed_.push_back({offset, sequence_++, std::move(finding)});
  std::push_heap(placed_.begin(), placed_.end(), LaterInFile{});
}

void Findings::AtOffset(Severity severity, std::string pointer, std::size_t offset,
                        std::string message) {
  const LineColumn place = index_.Locate(offset);
  Place(offset,
        Finding{severity, std::move(pointer), place.line, place.column, std::move(message)});
}

void Findings::AtValue(Severity severity, std::string pointer, std::string message) {
  const std::optional<ValuePlace> place = index_.Find(pointer);
  const std::size_t offset = place ? place->value_offset : 0;
  AtOffset(severity, std::move(pointer), offset, std::move(message));
}

std::size_t Findings::KeyOffset(const std::string& pointer) const {
  const std::optional<ValuePlace> place = index_.Find(pointer);
  return place ? place->key_offset.value_or(place->value_offset) : 0;
}

void Findings::AtKey(Severity severity, std::string pointer, std::string message) {
  const std::size_t offset = KeyOffset(pointer);
  AtOffset(severity, std::move(pointer), offset, std::move(message));
}

void Findings::AtKey(Severity severity, std::string pointer, const Message& message) {
  const std::size_t offset = KeyOffset(pointer);
  const bool watched = severity == Severity::kError && watched_pointer_ == pointer;
  if (!watched && placed_.size() >= kMostFindings && offset >= placed_.front().offset) {
    if (severity == Severity::kError) {
      error_pointers_.insert(pointer);
    }
    ++omitted_;
    return;
  }
  AtOffset(severity, std::move(pointer), offset, message());
}

void Findings::AtTextByte(Severity severity, std::string pointer, std::size_t decoded_offset,
                          std::string message) {
  const std::optional<ValuePlace> place = index_.Find(pointer);
  const std::size_t offset =
      place ? OffsetOfDecodedByte(index_.Text(), place->value_offset, decoded_offset) : 0;
  AtOffset(severity, std::move(pointer), offset, std::move(message));
}

std::vector<Finding> Findings::TakeInFileOrder() {
  std::sort_heap(placed_.begin(), placed_.end(), LaterInFile{});
  std::vector<Finding> findings;
  findings.reserve(placed_.size());
  for (Placed& placed : placed_) {
    findings.push_back(std::move(placed.finding));
  }
  placed_.clear();
  return findings;
}

}  // namespace Bellwright::ConfigCheck
