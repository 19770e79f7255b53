#pragma once

#include <chrono>
#include <memory>
#include <span>
#include <string>

#include "storage/database.hpp"

struct sqlite3;
struct sqlite3_stmt;

namespace Bellwright::Storage {

// The table in an SQLite file that several server processes may share at once: WAL
// journal, a busy timeout, and write transactions that take the write lock up front so
// that the busy timeout, not an immediate SQLITE_BUSY, decides when to give up.
class SqliteDatabase final : public Database {
 public:
  SqliteDatabase(std::string path, std::chrono::milliseconds busy_timeout);
  ~SqliteDatabase() override;
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  std::optional<Failure> Open() override;
  void Close() override;
  bool IsOpen() const override { return connection_ != nullptr; }

  Expected<std::vector<StoredChoice>> ReadAll() override;
  Expected<bool> ReadOne(std::string_view player_key) override;
  std::optional<Failure> Write(std::span<const StoredChoice> choices) override;

 private:
  struct ConnectionCloser {
    void operator()(sqlite3* connection) const;
  };
  struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
  };
  using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

  std::optional<Failure> OpenOnce();
  std::optional<Failure> WriteOnce(std::span<const StoredChoice> choices);
  // Runs `attempt` again while it fails because another connection holds a lock, until
  // the busy timeout has passed. SQLite's busy handler covers most waits, but some lock
  // conflicts (two processes converting a new file to WAL at once) fail at once instead.
  template <typename Attempt>
  auto RetryWhileBusy(Attempt attempt);
  std::optional<Failure> Prepare();
  std::optional<Failure> Execute(const char* sql);
  void RollBack();
  // Also notes whether the failure was a lock held by another connection.
  Failure LastFailure();

  std::string path_;
  std::chrono::milliseconds busy_timeout_;
  bool last_failure_was_busy_ = false;
  // Declared before the statements: they are finalized before the connection closes.
  std::unique_ptr<sqlite3, ConnectionCloser> connection_;
  Statement select_all_;
  Statement select_one_;
  Statement upsert_;
};

}  // namespace Bellwright::Storage
