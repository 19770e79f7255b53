#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config_checks/json_text/line_map.hpp"

namespace Bellwright::ConfigCheck {

// Where a value stands in the file: its first byte, and the opening quote of its key
// when it is an object member.
struct ValuePlace {
  std::size_t value_offset = 0;
  std::optional<std::size_t> key_offset;
};

// A key given twice in one object; the reader keeps the later value.
struct DuplicateKey {
  std::string pointer;
  std::size_t earlier_key_offset = 0;
  std::size_t later_key_offset = 0;
};

// Every value of a JSON text, found by its pointer, built in one pass over the text
// (the JSON library keeps no positions). The text is expected to be JSON the reader
// accepted; anything else gives an incomplete index, never a failure.
class PositionIndex {
 public:
  // `text` must outlive the index. Containers nested deeper than `max_depth` are not
  // entered: the first one is reported by TooDeepOffset.
  PositionIndex(std::string_view text, std::size_t max_depth);

  // The place of the value at `pointer`; for a duplicated key, the last one's.
  [[nodiscard]] std::optional<ValuePlace> Find(std::string_view pointer) const;
  [[nodiscard]] LineColumn Locate(std::size_t offset) const { return lines_.Locate(offset); }
  [[nodiscard]] const LineMap& Lines() const { return lines_; }

  // Just past the first JSON value; anything after it is not read.
  [[nodiscard]] std::size_t DocumentEnd() const { return document_end_; }
  [[nodiscard]] std::optional<std::size_t> TooDeepOffset() const { return too_deep_offset_; }
  [[nodiscard]] const std::vector<DuplicateKey>& Duplicates() const { return duplicates_; }
  [[nodiscard]] std::string_view Text() const { return text_; }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // A value, found from its container by member name or by element index.
  struct Node {
    std::size_t value_offset = 0;
    std::size_t key_offset = kNone;
    std::size_t parent = kNone;
    std::size_t index = kNone;  // arrays
    std::string_view name;      // objects
  };
  struct Open;

  void Scan(std::size_t max_depth);
  void Record(const std::vector<Open>& open, std::size_t offset);
  void GroupChildren();
  void OrderMembers(std::size_t parent);
  [[nodiscard]] std::optional<std::size_t> Child(std::size_t parent, std::string_view token) const;
  [[nodiscard]] std::string PointerOf(std::size_t node) const;

  std::string_view text_;
  LineMap lines_;
  std::vector<Node> nodes_;
  // Every node but the first, grouped by parent; members ordered by name, then place
  // (of two equal keys the later one last), elements by index.
  std::vector<std::size_t> children_;
  // Where each node's children start in `children_`, and one past the last node's.
  std::vector<std::size_t> first_child_;
  std::deque<std::string> decoded_names_;  // names written with escapes
  std::vector<DuplicateKey> duplicates_;
  std::size_t document_end_ = 0;
  std::optional<std::size_t> too_deep_offset_;
};

}  // namespace Bellwright::ConfigCheck
