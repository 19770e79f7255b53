#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/expected.hpp"
#include "storage/storage_settings.hpp"
#include "storage/store_options.hpp"
#include "storage/stored_choice.hpp"

namespace Bellwright::Storage {

// What a finished database operation came to.
struct Outcome {
  std::optional<Failure> failure;
  // Another connection held the lock the operation needed: worth trying again soon.
  bool busy = false;
  // A read's rows: the players asked about who have a row.
  std::vector<StoredChoice> rows;
  // A read of greeted players: those asked about whom the table knows.
  std::vector<std::string> greeted;
};

inline Outcome FailedWith(std::string cause) {
  Outcome outcome;
  outcome.failure = Failure{std::move(cause)};
  return outcome;
}

// One connection to the table of choices and the table of greeted players, driven by the game
// thread without ever waiting: each Begin starts an operation and does what it can at once,
// Continue goes on with it later; both return the outcome once the operation has finished. One
// operation at a time. Open creates the tables when they are missing (a file or database made
// before the table of greeted players gains it, its choices untouched); player keys reach the
// database as bound parameters or as hexadecimal literals, never as text of their own.
class Database {
 public:
  virtual ~Database() = default;

  virtual std::optional<Outcome> BeginOpen() = 0;
  // The rows of these players; a player without a row has not opted out.
  virtual std::optional<Outcome> BeginRead(std::span<const std::string> player_keys) = 0;
  // All or nothing.
  virtual std::optional<Outcome> BeginWrite(std::span<const StoredChoice> choices) = 0;
  // Which of these players were ever greeted.
  virtual std::optional<Outcome> BeginReadGreeted(std::span<const std::string> player_keys) = 0;
  // Records these players as greeted; all or nothing.
  virtual std::optional<Outcome> BeginRecordGreeted(std::span<const std::string> player_keys) = 0;
  // Why the table of greeted players could not be used when the connection opened; the
  // choices work without it.
  virtual std::optional<Failure> GreetedPlayersUnusable() const { return std::nullopt; }
  virtual std::optional<Outcome> Continue() = 0;
  // Waits for the disk until what was committed lasts a power cut; only at the unload,
  // the one moment the game may wait for it. Nothing to do where the server keeps it.
  virtual void SettleOnDisk() {}
  // Drops the connection and any operation under way, without waiting.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Whether what was opened is no longer where it was opened (a deleted or replaced file).
  virtual bool WasReplaced() { return false; }
};

std::unique_ptr<Database> MakeDatabase(const StorageSettings& settings,
                                       const StoreOptions& options);

}  // namespace Bellwright::Storage
