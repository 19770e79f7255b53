#include "storage/choice_memory.hpp"

#include <algorithm>

namespace Bellwright::Storage {

void ChoiceMemory::Ask(std::string_view player_key, Moment now) {
  auto found = players_.find(player_key);
  if (found == players_.end()) {
    found = players_.emplace(std::string(player_key), Player{}).first;
    found->second.asked_at = now;
  }
  Player& player = found->second;
  if (const auto unwritten = unwritten_.find(player_key); unwritten != unwritten_.end()) {
    player.answered = true;
    player.opted_out = unwritten->second.opted_out;
  }
  if (player_key.size() > kMaxStoredKeyBytes) {
    player.answered = true;  // never stored: what this session decided is all there is
    return;
  }
  player.to_ask = true;
}

void ChoiceMemory::Forget(std::string_view player_key) {
  if (const auto found = players_.find(player_key); found != players_.end()) {
    players_.erase(found);
  }
}

void ChoiceMemory::AnswerUnansweredWithoutStorage() {
  for (auto& [player_key, player] : players_) {
    player.to_ask = false;
    player.asking = false;
    player.answered = true;
  }
}

void ChoiceMemory::AskEveryoneAgain() {
  for (auto& [player_key, player] : players_) {
    player.asking = false;
    player.to_ask = player_key.size() <= kMaxStoredKeyBytes;
  }
}

void ChoiceMemory::WriteEveryoneAgain() {
  for (const auto& [player_key, player] : players_) {
    if (player.answered && !unwritten_.contains(player_key) &&
        player_key.size() <= kMaxStoredKeyBytes) {
      unwritten_.emplace(player_key, Pending{player.opted_out, ++last_version_});
    }
  }
}

bool ChoiceMemory::IsOptedOut(std::string_view player_key, Moment now, Moment patience) const {
  const auto found = players_.find(player_key);
  if (found == players_.end()) return false;
  const Player& player = found->second;
  return player.answered ? player.opted_out : now - player.asked_at < patience;
}

std::optional<bool> ChoiceMemory::KnownChoice(std::string_view player_key) const {
  const auto found = players_.find(player_key);
  if (found == players_.end() || !found->second.answered) return std::nullopt;
  return found->second.opted_out;
}

bool ChoiceMemory::Toggle(std::string_view player_key) {
  auto found = players_.find(player_key);
  if (found == players_.end()) found = players_.emplace(std::string(player_key), Player{}).first;
  Player& player = found->second;
  // Toggled before any answer: from "in", as the player saw it.
  const bool opted_out = !(player.answered && player.opted_out);
  player.answered = true;
  player.opted_out = opted_out;
  if (player_key.size() > kMaxStoredKeyBytes) {
    unstorable_key_toggled_ = true;
    return opted_out;
  }
  Keep(player_key, opted_out);
  return opted_out;
}

void ChoiceMemory::WriteSessionChoicesAgain() {
  for (const auto& [player_key, opted_out] : session_) {
    Keep(player_key, opted_out);
  }
}

void ChoiceMemory::Keep(std::string_view player_key, bool opted_out) {
  if (auto chosen = session_.find(player_key); chosen != session_.end()) {
    chosen->second = opted_out;
  } else {
    session_.emplace(std::string(player_key), opted_out);
  }
  const Pending unwritten{opted_out, ++last_version_};
  if (auto found = unwritten_.find(player_key); found != unwritten_.end()) {
    found->second = unwritten;
  } else {
    unwritten_.emplace(std::string(player_key), unwritten);
  }
}

std::vector<std::string> ChoiceMemory::TakeQuestions(std::size_t limit) {
  std::vector<std::string> questions;
  for (auto& [player_key, player] : players_) {
    if (questions.size() == limit) break;
    if (!player.to_ask || player.asking) continue;
    player.to_ask = false;
    player.asking = true;
    questions.push_back(player_key);
  }
  return questions;
}

void ChoiceMemory::ReturnQuestions(std::span<const std::string> player_keys) {
  for (const std::string& player_key : player_keys) {
    if (const auto found = players_.find(player_key); found != players_.end()) {
      found->second.asking = false;
      found->second.to_ask = true;
    }
  }
}

void ChoiceMemory::Answer(std::span<const std::string> asked, std::span<const StoredChoice> rows) {
  for (const std::string& player_key : asked) {
    const auto found = players_.find(player_key);
    if (found == players_.end() || !found->second.asking) continue;
    Player& player = found->second;
    player.asking = false;
    if (HasLocalAuthority(player_key)) continue;
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const StoredChoice& choice) {
      return choice.player_key == player_key;
    });
    player.answered = true;
    player.opted_out = row != rows.end() && row->opted_out;
  }
}

bool ChoiceMemory::HasQuestions() const {
  return std::any_of(players_.begin(), players_.end(),
                     [](const auto& entry) { return entry.second.to_ask && !entry.second.asking; });
}

WriteBatch ChoiceMemory::TakeBatch(std::size_t limit) const {
  WriteBatch batch;
  for (const auto& [player_key, unwritten] : unwritten_) {
    if (batch.choices.size() == limit) break;
    batch.choices.push_back({player_key, unwritten.opted_out});
    batch.versions.push_back(unwritten.version);
  }
  return batch;
}

void ChoiceMemory::MarkWritten(const WriteBatch& batch) {
  for (std::size_t i = 0; i < batch.choices.size(); ++i) {
    const auto found = unwritten_.find(batch.choices[i].player_key);
    if (found != unwritten_.end() && found->second.version == batch.versions[i]) {
      unwritten_.erase(found);
    }
  }
}

std::vector<StoredChoice> ChoiceMemory::Unwritten() const {
  return TakeBatch(unwritten_.size()).choices;
}

void ChoiceMemory::AddUnwritten(std::span<const StoredChoice> choices) {
  for (const StoredChoice& choice : choices) {
    if (choice.player_key.size() > kMaxStoredKeyBytes) continue;
    Keep(choice.player_key, choice.opted_out);
    if (const auto found = players_.find(choice.player_key); found != players_.end()) {
      found->second.answered = true;
      found->second.opted_out = choice.opted_out;
    }
  }
}

bool ChoiceMemory::TakeUnstorableKeyNotice() {
  if (!unstorable_key_toggled_ || unstorable_key_noticed_) return false;
  unstorable_key_noticed_ = true;
  return true;
}

bool ChoiceMemory::HasLocalAuthority(std::string_view player_key) const {
  return player_key.size() > kMaxStoredKeyBytes || unwritten_.contains(player_key);
}

}  // namespace Bellwright::Storage
