#include "config/checks/position_index.hpp"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "config/checks/json_pointer.hpp"
#include "config/checks/string_token.hpp"

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
  SortChildren();
}

std::optional<std::size_t> PositionIndex::Child(std::size_t parent, std::string_view token) const {
  std::size_t index = kNone;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), index);
  if (error != std::errc() || end != token.data() + token.size()) {
    index = kNone;
  }
  const auto key = [this](std::size_t node) {
    const Node& entry = nodes_[node];
    return std::tie(entry.parent, entry.index, entry.name);
  };
  // A member is found by its name, an element by its index.
  for (const std::size_t wanted_index : {kNone, index}) {
    const std::string_view wanted_name = wanted_index == kNone ? token : std::string_view();
    const auto wanted = std::tie(parent, wanted_index, wanted_name);
    const auto last =
        std::upper_bound(children_.begin(), children_.end(), wanted,
                         [&key](const auto& value, std::size_t node) { return value < key(node); });
    if (last != children_.begin() && key(*(last - 1)) == wanted) {
      return *(last - 1);
    }
    if (index == kNone) {
      break;
    }
  }
  return std::nullopt;
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

void PositionIndex::SortChildren() {
  children_.reserve(nodes_.size());
  for (std::size_t node = 1; node < nodes_.size(); ++node) {
    children_.push_back(node);
  }
  std::sort(children_.begin(), children_.end(), [this](std::size_t left, std::size_t right) {
    const Node& a = nodes_[left];
    const Node& b = nodes_[right];
    return std::tie(a.parent, a.index, a.name, left) < std::tie(b.parent, b.index, b.name, right);
  });
  for (std::size_t at = 1; at < children_.size(); ++at) {
    const Node& earlier = nodes_[children_[at - 1]];
    const Node& later = nodes_[children_[at]];
    if (earlier.parent == later.parent && earlier.index == later.index &&
        earlier.name == later.name) {
      duplicates_.push_back({PointerOf(children_[at]), earlier.key_offset, later.key_offset});
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
