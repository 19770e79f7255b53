#pragma once

#include <cstddef>
#include <string>

namespace Bellwright::Storage {

// A player's choice as one row of the table. The key is the player's unique id as the
// caller gives it (already case-folded); the store compares and keeps its bytes.
struct StoredChoice {
  std::string player_key;
  bool opted_out = false;
};

// The key column's width in both databases. Unique ids are far shorter; a longer key
// still works for the session but is not stored.
inline constexpr std::size_t kMaxStoredKeyBytes = 255;

}  // namespace Bellwright::Storage
