#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/player_keys.hpp"
#include "storage/stored_choice.hpp"

namespace Bellwright::Storage {

// Choices taken from the unwritten ones to be written together; the versions tell which
// were toggled again while they were being written.
struct WriteBatch {
  std::vector<StoredChoice> choices;
  std::vector<std::uint64_t> versions;
};

// The choices of the players who are here, the choices not yet written, and those made in
// this session, as the game thread sees them. Its size follows the players on the server
// and those who chose in this session, never the number of choices stored. A choice made
// on this server stays authoritative until it is written, so a read of the database that
// was already under way cannot undo it.
class ChoiceMemory {
 public:
  // On the caller's clock; only differences count.
  using Moment = std::chrono::steady_clock::duration;

  // A player who is here: their stored choice is (read again and) asked for.
  void Ask(std::string_view player_key, Moment now);
  // A player who left; a choice of theirs not yet written stays until it is.
  void Forget(std::string_view player_key);
  // With no storage to ask, every player without an answer has not opted out.
  void AnswerUnansweredWithoutStorage();
  // A new storage: everyone here is asked again (what is known meanwhile counts), and
  // the new storage gets every unwritten choice.
  void AskEveryoneAgain();
  // A storage that was made afresh: the choices of everyone here are written to it.
  void WriteEveryoneAgain();
  // Another storage, or one used before: every choice made in this session (or taken
  // from what an earlier one could not write) is written to it again, so a storage
  // used earlier cannot bring back an older choice.
  void WriteSessionChoicesAgain();

  // Players never answered count as opted out while `patience` has not passed since they
  // were asked, so nobody who opted out elsewhere gets an announcement while the
  // storage is asked, and as not opted out after that.
  bool IsOptedOut(std::string_view player_key, Moment now, Moment patience) const;
  // The player's choice once known (answered by the storage, or made here); nothing while
  // the storage has not answered.
  std::optional<bool> KnownChoice(std::string_view player_key) const;
  // Flips the player's choice, keeps the new state to be written and returns it.
  bool Toggle(std::string_view player_key);

  // For the store: questions and writes, and what came of them.
  std::vector<std::string> TakeQuestions(std::size_t limit);
  void ReturnQuestions(std::span<const std::string> player_keys);
  // The stored rows of the players asked; a player asked without a row has not opted out.
  void Answer(std::span<const std::string> asked, std::span<const StoredChoice> rows);
  bool HasUnwritten() const { return !unwritten_.empty(); }
  WriteBatch TakeBatch(std::size_t limit) const;
  // Forgets the batch's choices, except those toggled again since TakeBatch.
  void MarkWritten(const WriteBatch& batch);
  bool HasQuestions() const;

  // Unwritten choices, to be kept somewhere else, and choices kept elsewhere to be written.
  std::vector<StoredChoice> Unwritten() const;
  void AddUnwritten(std::span<const StoredChoice> choices);

  // True once after a player whose key is too long to store toggled.
  bool TakeUnstorableKeyNotice();

  std::size_t PlayerCount() const { return players_.size(); }

 private:
  struct Player {
    bool answered = false;
    bool opted_out = false;
    bool to_ask = false;
    bool asking = false;
    Moment asked_at{};
  };
  struct Pending {
    bool opted_out = false;
    std::uint64_t version = 0;
  };

  bool HasLocalAuthority(std::string_view player_key) const;
  void Keep(std::string_view player_key, bool opted_out);

  PlayerKeyMap<Player> players_;
  PlayerKeyMap<Pending> unwritten_;
  // The latest choice of each player who chose in this session.
  PlayerKeyMap<bool> session_;
  std::uint64_t last_version_ = 0;
  bool unstorable_key_toggled_ = false;
  bool unstorable_key_noticed_ = false;
};

}  // namespace Bellwright::Storage
