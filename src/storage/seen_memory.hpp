#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/player_keys.hpp"

namespace Bellwright::Storage {

// Whether the players about to be greeted were ever greeted before, as the storage
// answers, and the greeted players not yet recorded there. Its size follows the players
// waiting for a greeting and the records not yet written, never the table. A greeting
// recorded here stays authoritative until it is written, so a read that was already
// under way cannot make that player new again.
class SeenMemory {
 public:
  enum class Greeted { kUnknown, kNever, kBefore };

  // A player who will be greeted: the storage is asked whether it knows them.
  void Ask(std::string_view player_key);
  // A player who left before their greeting.
  void Forget(std::string_view player_key);
  // The player is greeted now: what the storage answered so far. They are no longer
  // asked about, and are recorded as greeted unless the storage knew them already.
  Greeted Greet(std::string_view player_key);
  // A storage that cannot keep greeted players: nobody is new, and no greeting is added
  // to those waiting to be recorded.
  void AnswerEveryoneGreetedBefore();
  // A new storage: the questions under way are asked again.
  void AskEveryoneAgain();
  // Greetings an earlier start could not record: they are recorded now, and those
  // players are not new.
  void AddUnrecorded(std::span<const std::string> player_keys);

  // For the store: questions and records, and what came of them.
  std::vector<std::string> TakeQuestions(std::size_t limit);
  void ReturnQuestions(std::span<const std::string> player_keys);
  // The players asked whom the storage knows; the others asked are new.
  void Answer(std::span<const std::string> asked, std::span<const std::string> known);
  bool HasQuestions() const;
  // Whether the player waits for a greeting that the storage has not yet said is their
  // first.
  bool AwaitsAnswer(std::string_view player_key) const;
  bool HasUnrecorded() const { return !unrecorded_.empty(); }
  std::size_t UnrecordedCount() const { return unrecorded_.size(); }
  std::vector<std::string> TakeBatch(std::size_t limit) const;
  void MarkRecorded(std::span<const std::string> player_keys);

 private:
  struct Question {
    bool asking = false;
    Greeted answer = Greeted::kUnknown;
  };

  PlayerKeyMap<Question> questions_;
  PlayerKeySet unrecorded_;
  bool keeps_nothing_ = false;
};

}  // namespace Bellwright::Storage
