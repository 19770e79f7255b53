#include "storage/seen_memory.hpp"

#include <algorithm>

#include "storage/stored_choice.hpp"

namespace Bellwright::Storage {

void SeenMemory::Ask(std::string_view player_key) {
  Question question;
  // A key too long to store is never known, so such a player is never greeted as new.
  if (keeps_nothing_ || unrecorded_.contains(player_key) ||
      player_key.size() > kMaxStoredKeyBytes) {
    question.answer = Greeted::kBefore;
  }
  if (const auto found = questions_.find(player_key); found != questions_.end()) {
    found->second = question;
  } else {
    questions_.emplace(std::string(player_key), question);
  }
}

void SeenMemory::Forget(std::string_view player_key) {
  if (const auto found = questions_.find(player_key); found != questions_.end()) {
    questions_.erase(found);
  }
}

SeenMemory::Greeted SeenMemory::Greet(std::string_view player_key) {
  Greeted answer = Greeted::kUnknown;
  if (const auto found = questions_.find(player_key); found != questions_.end()) {
    answer = found->second.answer;
    questions_.erase(found);
  }
  // A player the storage knows is recorded there already: a returning player costs no
  // write.
  if (answer != Greeted::kBefore && !keeps_nothing_ && player_key.size() <= kMaxStoredKeyBytes) {
    unrecorded_.emplace(player_key);
  }
  return answer;
}

void SeenMemory::AnswerEveryoneGreetedBefore() {
  // What is not recorded yet stays, for a later storage or the kept file at the unload.
  keeps_nothing_ = true;
  for (auto& [player_key, question] : questions_) {
    question = {false, Greeted::kBefore};
  }
}

void SeenMemory::AskEveryoneAgain() {
  keeps_nothing_ = false;
  for (auto& [player_key, question] : questions_) {
    question.asking = false;
  }
}

void SeenMemory::AddUnrecorded(std::span<const std::string> player_keys) {
  for (const std::string& player_key : player_keys) {
    if (player_key.size() > kMaxStoredKeyBytes) continue;
    unrecorded_.insert(player_key);
    if (const auto found = questions_.find(player_key); found != questions_.end()) {
      found->second = {false, Greeted::kBefore};
    }
  }
}

std::vector<std::string> SeenMemory::TakeQuestions(std::size_t limit) {
  std::vector<std::string> taken;
  for (auto& [player_key, question] : questions_) {
    if (taken.size() == limit) break;
    if (question.asking || question.answer != Greeted::kUnknown) continue;
    question.asking = true;
    taken.push_back(player_key);
  }
  return taken;
}

void SeenMemory::ReturnQuestions(std::span<const std::string> player_keys) {
  for (const std::string& player_key : player_keys) {
    if (const auto found = questions_.find(player_key); found != questions_.end()) {
      found->second.asking = false;
    }
  }
}

void SeenMemory::Answer(std::span<const std::string> asked, std::span<const std::string> known) {
  for (const std::string& player_key : asked) {
    const auto found = questions_.find(player_key);
    // Asked again since (a reconnect): the newer question waits for its own answer.
    if (found == questions_.end() || !found->second.asking) continue;
    const bool greeted_before = unrecorded_.contains(player_key) ||
                                std::find(known.begin(), known.end(), player_key) != known.end();
    found->second = {false, greeted_before ? Greeted::kBefore : Greeted::kNever};
  }
}

bool SeenMemory::HasQuestions() const {
  return std::any_of(questions_.begin(), questions_.end(), [](const auto& entry) {
    return !entry.second.asking && entry.second.answer == Greeted::kUnknown;
  });
}

bool SeenMemory::AwaitsAnswer(std::string_view player_key) const {
  const auto found = questions_.find(player_key);
  return found != questions_.end() && found->second.answer == Greeted::kUnknown;
}

std::vector<std::string> SeenMemory::TakeBatch(std::size_t limit) const {
  std::vector<std::string> batch;
  for (const std::string& player_key : unrecorded_) {
    if (batch.size() == limit) break;
    batch.push_back(player_key);
  }
  return batch;
}

void SeenMemory::MarkRecorded(std::span<const std::string> player_keys) {
  for (const std::string& player_key : player_keys) {
    if (const auto found = unrecorded_.find(player_key); found != unrecorded_.end()) {
      unrecorded_.erase(found);
    }
  }
}

}  // namespace Bellwright::Storage
