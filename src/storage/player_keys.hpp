#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace Bellwright::Storage {

// Players' keys as the memories hold them: found by a view of a key without a copy.
struct PlayerKeyHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view key) const noexcept {
    return std::hash<std::string_view>{}(key);
  }
};

template <typename Value>
using PlayerKeyMap = std::unordered_map<std::string, Value, PlayerKeyHash, std::equal_to<>>;
using PlayerKeySet = std::unordered_set<std::string, PlayerKeyHash, std::equal_to<>>;

}  // namespace Bellwright::Storage
