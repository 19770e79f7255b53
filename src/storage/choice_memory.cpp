#include "storage/choice_memory.hpp"

namespace Bellwright::Storage {

bool ChoiceMemory::IsOptedOut(std::string_view player_key) const {
  return !opted_out_.empty() && opted_out_.contains(player_key);
}

bool ChoiceMemory::AnyOptedOut(std::span<const std::string> player_keys) const {
  if (opted_out_.empty()) return false;
  for (const std::string& player_key : player_keys) {
    if (opted_out_.contains(player_key)) return true;
  }
  return false;
}

bool ChoiceMemory::Toggle(std::string_view player_key) {
  const bool opted_out = !IsOptedOut(player_key);
  Set(player_key, opted_out);
  if (player_key.size() > kMaxStoredKeyBytes) {
    unstorable_key_toggled_ = true;
    return opted_out;
  }
  const Pending pending{opted_out, ++last_version_};
  if (auto found = pending_.find(player_key); found != pending_.end()) {
    found->second = pending;
  } else {
    pending_.emplace(std::string(player_key), pending);
  }
  return opted_out;
}

WriteBatch ChoiceMemory::TakeBatch(std::size_t limit) const {
  WriteBatch batch;
  for (const auto& [player_key, pending] : pending_) {
    if (batch.choices.size() == limit) break;
    batch.choices.push_back({player_key, pending.opted_out});
    batch.versions.push_back(pending.version);
  }
  return batch;
}

void ChoiceMemory::MarkWritten(const WriteBatch& batch) {
  for (std::size_t i = 0; i < batch.choices.size(); ++i) {
    const auto found = pending_.find(batch.choices[i].player_key);
    if (found != pending_.end() && found->second.version == batch.versions[i]) {
      pending_.erase(found);
    }
  }
}

void ChoiceMemory::ApplyStored(std::string_view player_key, bool opted_out) {
  if (!HasLocalAuthority(player_key)) Set(player_key, opted_out);
}

void ChoiceMemory::ApplyAllStored(std::span<const StoredChoice> stored) {
  KeySet kept;
  for (const std::string& player_key : opted_out_) {
    if (HasLocalAuthority(player_key)) kept.insert(player_key);
  }
  for (const StoredChoice& choice : stored) {
    if (choice.opted_out && !HasLocalAuthority(choice.player_key)) kept.insert(choice.player_key);
  }
  opted_out_ = std::move(kept);
}

bool ChoiceMemory::TakeUnstorableKeyNotice() {
  if (!unstorable_key_toggled_ || unstorable_key_noticed_) return false;
  unstorable_key_noticed_ = true;
  return true;
}

bool ChoiceMemory::HasLocalAuthority(std::string_view player_key) const {
  return player_key.size() > kMaxStoredKeyBytes || pending_.contains(player_key);
}

void ChoiceMemory::Set(std::string_view player_key, bool opted_out) {
  if (opted_out) {
    if (!opted_out_.contains(player_key)) opted_out_.emplace(player_key);
  } else if (const auto found = opted_out_.find(player_key); found != opted_out_.end()) {
    opted_out_.erase(found);
  }
}

}  // namespace Bellwright::Storage
