#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "storage/stored_choice.hpp"

namespace Bellwright::Storage {

// Choices taken from the pending ones to be written together; the versions tell which
// were toggled again while they were being written.
struct WriteBatch {
  std::vector<StoredChoice> choices;
  std::vector<std::uint64_t> versions;
};

// The choices as the game thread sees them, and those not yet written. Not locked
// itself: the store guards it. A choice made on this server stays authoritative until
// it is written, so a read of the database that was already under way cannot undo it.
class ChoiceMemory {
 public:
  bool IsOptedOut(std::string_view player_key) const;
  bool AnyOptedOut(std::span<const std::string> player_keys) const;

  // Flips the player's choice, queues the new state to be written and returns it.
  bool Toggle(std::string_view player_key);

  bool HasPendingWrites() const { return !pending_.empty(); }
  std::size_t PendingWriteCount() const { return pending_.size(); }
  WriteBatch TakeBatch(std::size_t limit) const;
  // Forgets the batch's choices, except those toggled again since TakeBatch.
  void MarkWritten(const WriteBatch& batch);

  // What the database holds for one player, or for everyone, applied where no choice
  // of this server is waiting to be written.
  void ApplyStored(std::string_view player_key, bool opted_out);
  void ApplyAllStored(std::span<const StoredChoice> stored);

  // True once after a player whose key is too long to store toggled.
  bool TakeUnstorableKeyNotice();

 private:
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const noexcept {
      return std::hash<std::string_view>{}(key);
    }
  };
  template <typename Value>
  using KeyMap = std::unordered_map<std::string, Value, KeyHash, std::equal_to<>>;
  using KeySet = std::unordered_set<std::string, KeyHash, std::equal_to<>>;

  bool HasLocalAuthority(std::string_view player_key) const;
  void Set(std::string_view player_key, bool opted_out);

  struct Pending {
    bool opted_out = false;
    std::uint64_t version = 0;
  };

  KeySet opted_out_;
  KeyMap<Pending> pending_;
  std::uint64_t last_version_ = 0;
  bool unstorable_key_toggled_ = false;
  bool unstorable_key_noticed_ = false;
};

}  // namespace Bellwright::Storage
