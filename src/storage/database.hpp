#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/cluster_rows.hpp"
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
  // The cluster's tables: what a join found, the messages read, the servers' reports
  // read, and the number a stored message was given (0 when it had been stored before).
  std::optional<ClusterJoinRow> join;
  std::vector<ClusterMessageRow> messages;
  std::vector<ServerPresenceRow> servers;
  std::int64_t posted_id = 0;
  // A statement that may fail without harm to the rest (removing old messages without
  // the right to) did: why.
  std::optional<Failure> refused;
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
//
// With `StorageSettings::cluster` it also keeps the cluster's two tables: the messages for
// every server and the servers' reports. A message's body and every name travel the way
// player keys do. Times there are the database's own clock, in milliseconds, so that the
// servers' clocks never need to agree.
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

  // What this server delivered before, and where the messages of the last `lifetime` begin.
  virtual std::optional<Outcome> BeginJoinCluster(const ClusterIdentity& me,
                                                  std::chrono::milliseconds lifetime) = 0;
  // Stores a message for every server, once however often the same post is begun.
  virtual std::optional<Outcome> BeginPost(const ClusterIdentity& me, std::int64_t instance,
                                           const ClusterPost& post) = 0;
  // The messages after `request.after` but for those handled, in order, at most `limit`.
  virtual std::optional<Outcome> BeginFetch(const FetchRequest& request, std::size_t limit) = 0;
  // Reads the reports of the servers seen within `within`, then writes this one's.
  virtual std::optional<Outcome> BeginPresence(const ClusterIdentity& me,
                                               const PresenceReport& report,
                                               std::chrono::milliseconds within) = 0;
  // Removes messages older than `older_than` below the one numbered `below`; the newest
  // is kept, so that a database never numbers a message again from 1. Refused without
  // the right to delete, which harms nothing else (`Outcome::refused`).
  virtual std::optional<Outcome> BeginPrune(std::int64_t below,
                                            std::chrono::milliseconds older_than) = 0;
  // Why the cluster's tables could not be used when the connection opened; the choices
  // work without them.
  virtual std::optional<Failure> ClusterUnusable() const { return std::nullopt; }

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
