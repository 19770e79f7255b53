#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>

#include "storage/database.hpp"
#include "storage/sqlite_cluster_tables.hpp"
#include "storage/sqlite_statement.hpp"

namespace Bellwright::Storage {

// The tables in an SQLite file that several server processes may share at once: WAL
// journal, and write transactions that take the write lock up front. A local file
// answers at once, so every operation finishes in the call that begins it; a lock held
// by another connection is not waited for (no busy timeout) but reported as busy, for
// the store to try again at its next turn. Nothing waits for the disk but SettleOnDisk:
// a commit is safe from a crash of the process once it returns, and from a power cut
// once the file is settled at the unload.
class SqliteDatabase final : public Database {
 public:
  // `cluster`: the cluster's tables are kept as well.
  SqliteDatabase(std::string path, bool cluster);
  ~SqliteDatabase() override;
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  std::optional<Outcome> BeginOpen() override;
  std::optional<Outcome> BeginRead(std::span<const std::string> player_keys) override;
  std::optional<Outcome> BeginWrite(std::span<const StoredChoice> choices) override;
  std::optional<Outcome> BeginReadGreeted(std::span<const std::string> player_keys) override;
  std::optional<Outcome> BeginRecordGreeted(std::span<const std::string> player_keys) override;
  std::optional<Outcome> BeginJoinCluster(const ClusterIdentity& me,
                                          std::chrono::milliseconds lifetime) override;
  std::optional<Outcome> BeginPost(const ClusterIdentity& me, std::int64_t instance,
                                   const ClusterPost& post) override;
  std::optional<Outcome> BeginFetch(const FetchRequest& request, std::size_t limit) override;
  std::optional<Outcome> BeginPresence(const ClusterIdentity& me, const PresenceReport& report,
                                       std::chrono::milliseconds within) override;
  std::optional<Outcome> BeginPrune(std::int64_t below,
                                    std::chrono::milliseconds older_than) override;
  std::optional<Outcome> Continue() override { return FailedWith("nothing under way"); }
  void SettleOnDisk() override;
  void Close() override;
  bool IsOpen() const override { return connection_ != nullptr; }
  bool WasReplaced() override;

 private:
  struct ConnectionCloser {
    void operator()(sqlite3* connection) const;
  };
  using Statement = SqliteStatement;

  Outcome Open();
  Outcome Write(std::span<const StoredChoice> choices);
  // Runs `write_one` for each index in one write transaction: all or nothing.
  Outcome InTransaction(std::size_t count, const std::function<bool(std::size_t)>& write_one);
  std::optional<Failure> Prepare();
  std::optional<Failure> Execute(const char* sql);
  void RollBack();
  // The outcome of the last failing call, noting a lock held by another connection.
  Outcome Failed();
  // What an operation on the cluster's tables came to, or the failure of its last call.
  template <typename Operation>
  Outcome OnClusterTables(Operation operation);

  std::string path_;
  bool cluster_ = false;
  // Declared before the statements: they are finalized before the connection closes.
  std::unique_ptr<sqlite3, ConnectionCloser> connection_;
  Statement select_one_;
  Statement upsert_;
  Statement select_greeted_;
  Statement insert_greeted_;
  SqliteClusterTables cluster_tables_;
};

}  // namespace Bellwright::Storage
