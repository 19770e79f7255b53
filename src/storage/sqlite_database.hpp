#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>

#include "storage/database.hpp"

struct sqlite3;
struct sqlite3_stmt;

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
  explicit SqliteDatabase(std::string path);
  ~SqliteDatabase() override;
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  std::optional<Outcome> BeginOpen() override;
  std::optional<Outcome> BeginRead(std::span<const std::string> player_keys) override;
  std::optional<Outcome> BeginWrite(std::span<const StoredChoice> choices) override;
  std::optional<Outcome> BeginReadGreeted(std::span<const std::string> player_keys) override;
  std::optional<Outcome> BeginRecordGreeted(std::span<const std::string> player_keys) override;
  std::optional<Outcome> Continue() override { return FailedWith("nothing under way"); }
  void SettleOnDisk() override;
  void Close() override;
  bool IsOpen() const override { return connection_ != nullptr; }
  bool WasReplaced() override;

 private:
  struct ConnectionCloser {
    void operator()(sqlite3* connection) const;
  };
  struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
  };
  using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

  Outcome Open();
  Outcome Write(std::span<const StoredChoice> choices);
  // Runs `write_one` for each index in one write transaction: all or nothing.
  Outcome InTransaction(std::size_t count, const std::function<bool(std::size_t)>& write_one);
  std::optional<Failure> Prepare();
  std::optional<Failure> Execute(const char* sql);
  void RollBack();
  // The outcome of the last failing call, noting a lock held by another connection.
  Outcome Failed();

  std::string path_;
  // Declared before the statements: they are finalized before the connection closes.
  std::unique_ptr<sqlite3, ConnectionCloser> connection_;
  Statement select_one_;
  Statement upsert_;
  Statement select_greeted_;
  Statement insert_greeted_;
};

}  // namespace Bellwright::Storage
