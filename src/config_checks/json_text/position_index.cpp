#include "config_checks/json_text/position_index.hpp"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/json_text/string_token.hpp"

namespace Bellwright::ConfigCheck {

struct PositionIndex::Open {
  std::size_t node = 0;
  bool is_object = false;
  std::size_t elements = 0;  // arrays: the index of the next element
  bool expecting_key = false;
  std::string_view name;  // objects: the member whose value comes next
  std::size_t key_offset = 0;
};

namespace {

bool EndsScalar(char unit) {
  return IsJsonBlank(unit) || unit == ',' || unit == ']' || unit == '}' || unit == ':';
}

}  // namespace

PositionIndex::PositionIndex(std::string_view text, std::size_t max_depth)
    : text_(text), lines_(text) {
  Scan(max_depth);
  GroupChildren();
}

std::optional<std::size_t> PositionIndex::Child(std::size_t parent, std::string_view token) const {
  const auto begin = children_.begin() + static_cast<std::ptrdiff_t>(first_child_[parent]);
  const auto end = children_.begin() + static_cast<std::ptrdiff_t>(first_child_[parent + 1]);
  if (begin == end) {
    return std::nullopt;
  }
  if (nodes_[*begin].index != kNone) {
    // An array's elements stand in index order, one per index.
    std::size_t index = 0;
    const auto [last, error] = std::from_chars(token.data(), token.data() + token.size(), index);
    if (error != std::errc() || last != token.data() + token.size() ||
        index >= static_cast<std::size_t>(end - begin)) {
      return std::nullopt;
    }
    return *(begin + static_cast<std::ptrdiff_t>(index));
  }
  // Of two equal keys the reader keeps the later one, which stands last.
  const auto after = std::upper_bound(
      begin, end, token,
      [this](std::string_view name, std::size_t node) { return name < nodes_[node].name; });
  if (after == begin || nodes_[*(after - 1)].name != token) {
    return std::nullopt;
  }
  return *(after - 1);
}

std::optional<ValuePlace> PositionIndex::Find(std::string_view pointer) const {
  if (nodes_.empty()) {
    return std::nullopt;
  }
  std::size_t node = 0;
  for (const std::string& token : PointerTokens(pointer)) {
    const std::optional<std::size_t> child = Child(node, token);
    if (!child) {
      return std::nullopt;
    }
    node = *child;
  }
  ValuePlace place{nodes_[node].value_offset, std::nullopt};
  if (nodes_[node].key_offset != kNone) {
    place.key_offset = nodes_[node].key_offset;
  }
  return place;
}

std::string PositionIndex::PointerOf(std::size_t node) const {
  std::vector<std::size_t> path;
  for (; node != 0 && node < nodes_.size(); node = nodes_[node].parent) {
    path.push_back(node);
  }
  std::string pointer;
  for (auto step = path.rbegin(); step != path.rend(); ++step) {
    const Node& entry = nodes_[*step];
    pointer = entry.index == kNone ? ChildPointer(pointer, entry.name)
                                   : ChildPointer(pointer, entry.index);
  }
  return pointer;
}

void PositionIndex::Record(const std::vector<Open>& open, std::size_t offset) {
  Node node{offset, kNone, kNone, kNone, {}};
  if (!open.empty()) {
    const Open& parent = open.back();
    node.parent = parent.node;
    if (parent.is_object) {
      node.name = parent.name;
      node.key_offset = parent.key_offset;
    } else {
      node.index = parent.elements;
    }
  }
  nodes_.push_back(node);
}

void PositionIndex::GroupChildren() {
  // Nodes were recorded in file order, so counting them out by parent keeps each
  // container's children in place order, and an array's in index order.
  first_child_.assign(nodes_.size() + 1, 0);
  for (std::size_t node = 1; node < nodes_.size(); ++node) {
    ++first_child_[nodes_[node].parent + 1];
  }
  for (std::size_t parent = 1; parent < first_child_.size(); ++parent) {
    first_child_[parent] += first_child_[parent - 1];
  }
  children_.resize(nodes_.size() > 0 ? nodes_.size() - 1 : 0);
  std::vector<std::size_t> next(first_child_.begin(), first_child_.end() - 1);
  for (std::size_t node = 1; node < nodes_.size(); ++node) {
    children_[next[nodes_[node].parent]++] = node;
  }
  for (std::size_t parent = 0; parent < nodes_.size(); ++parent) {
    OrderMembers(parent);
  }
}

// An object's members by name, of two equal keys the later one last; a key given twice
// is listed on the way.
void PositionIndex::OrderMembers(std::size_t parent) {
  const auto begin = children_.begin() + static_cast<std::ptrdiff_t>(first_child_[parent]);
  const auto end = children_.begin() + static_cast<std::ptrdiff_t>(first_child_[parent + 1]);
  if (end - begin < 2 || nodes_[*begin].index != kNone) {
    return;
  }
  std::sort(begin, end, [this](std::size_t left, std::size_t right) {
    return std::tie(nodes_[left].name, left) < std::tie(nodes_[right].name, right);
  });
  for (auto at = begin + 1; at != end; ++at) {
    const Node& earlier = nodes_[*(at - 1)];
    const Node& later = nodes_[*at];
    if (earlier.name == later.name) {
      duplicates_.push_back({PointerOf(*at), earlier.key_offset, later.key_offset});
    }
  }
}

void PositionIndex::Scan(std::size_t max_depth) {
  std::vector<Open> open;
  std::size_t at = text_.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  // A value is complete: the next one of its array gets the next index.
  const auto value_done = [&](std::size_t end) {
    if (open.empty()) {
      document_end_ = end;
    } else if (!open.back().is_object) {
      ++open.back().elements;
    }
  };
  while (at < text_.size()) {
    const char unit = text_[at];
    if (IsJsonBlank(unit) || unit == ':') {
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
      Open container;
      container.node = nodes_.size();
      Record(open, at);
      container.is_object = unit == '{';
      container.expecting_key = container.is_object;
      open.push_back(container);
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
        const std::string_view literal = text_.substr(at, end - at);
        if (literal.find('\\') == std::string_view::npos) {
          open.back().name = literal.substr(1, literal.size() >= 2 ? literal.size() - 2 : 0);
        } else {
          open.back().name = decoded_names_.emplace_back(DecodeStringLiteral(literal));
        }
        open.back().key_offset = at;
        open.back().expecting_key = false;
      } else {
        Record(open, at);
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
      Record(open, start);
      value_done(at);
      if (open.empty()) {
        return;
      }
    }
  }
}

}  // namespace Bellwright::ConfigCheck
