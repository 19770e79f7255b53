#include "config/checks/position_index.hpp"

#include "config/checks/json_pointer.hpp"
#include "config/checks/string_token.hpp"

namespace Bellwright::ConfigCheck {

struct PositionIndex::Container {
  bool is_object = false;
  std::string pointer;
  std::size_t id = 0;
  std::size_t elements = 0;  // arrays: the index of the next element
  bool expecting_key = false;
  std::string key;
  std::size_t key_offset = 0;
};

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char unit) {
  return unit == ' ' || unit == '\t' || unit == '\n' || unit == '\r';
}

bool EndsScalar(char unit) {
  return IsBlank(unit) || unit == ',' || unit == ']' || unit == '}' || unit == ':';
}

}  // namespace

PositionIndex::PositionIndex(std::string_view text, std::size_t max_depth)
    : text_(text), lines_(text) {
  Scan(max_depth);
}

const ValuePlace* PositionIndex::Find(std::string_view pointer) const {
  const auto found = entries_.find(std::string(pointer));
  return found == entries_.end() ? nullptr : &found->second.place;
}

void PositionIndex::Record(std::vector<Container>& open, const std::string& pointer,
                           std::size_t offset) {
  Entry entry;
  entry.place.value_offset = offset;
  if (!open.empty() && open.back().is_object) {
    entry.place.key_offset = open.back().key_offset;
    entry.parent_object = open.back().id;
  }
  auto [slot, inserted] = entries_.try_emplace(pointer, entry);
  if (!inserted) {
    const bool same_object =
        entry.parent_object != 0 && slot->second.parent_object == entry.parent_object;
    if (same_object) {
      duplicates_.push_back(
          {pointer, slot->second.place.key_offset.value_or(0), entry.place.key_offset.value_or(0)});
    }
    slot->second = entry;
  }
}

void PositionIndex::Scan(std::size_t max_depth) {
  std::vector<Container> open;
  std::size_t next_id = 1;
  std::size_t at = text_.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  // The pointer of the value that starts next.
  const auto slot_pointer = [&open]() -> std::string {
    if (open.empty()) {
      return {};
    }
    const Container& parent = open.back();
    return parent.is_object ? ChildPointer(parent.pointer, parent.key)
                            : ChildPointer(parent.pointer, parent.elements);
  };
  const auto value_done = [&](std::size_t end) {
    if (open.empty()) {
      document_end_ = end;
    } else if (!open.back().is_object) {
      ++open.back().elements;
    }
  };
  while (at < text_.size()) {
    const char unit = text_[at];
    if (IsBlank(unit) || unit == ':') {
      ++at;
    } else if (unit == ',') {
      if (!open.empty()) {
        open.back().expecting_key = open.back().is_object;
      }
      ++at;
    } else if (unit == '{' || unit == '[') {
      if (open.size() >= max_depth) {
        too_deep_offset_ = at;
        return;
      }
      std::string pointer = slot_pointer();
      Record(open, pointer, at);
      Container container;
      container.is_object = unit == '{';
      container.pointer = std::move(pointer);
      container.id = next_id++;
      container.expecting_key = container.is_object;
      open.push_back(std::move(container));
      ++at;
    } else if (unit == '}' || unit == ']') {
      if (open.empty()) {
        return;
      }
      open.pop_back();
      ++at;
      value_done(at);
      if (open.empty()) {
        return;
      }
    } else if (unit == '"') {
      const std::size_t end = StringLiteralEnd(text_, at);
      if (!open.empty() && open.back().expecting_key) {
        open.back().key = DecodeStringLiteral(text_.substr(at, end - at));
        open.back().key_offset = at;
        open.back().expecting_key = false;
      } else {
        Record(open, slot_pointer(), at);
        value_done(end);
      }
      at = end;
      if (open.empty()) {
        return;
      }
    } else {
      const std::size_t start = at;
      while (at < text_.size() && !EndsScalar(text_[at])) {
        ++at;
      }
      Record(open, slot_pointer(), start);
      value_done(at);
      if (open.empty()) {
        return;
      }
    }
  }
}

}  // namespace Bellwright::ConfigCheck
