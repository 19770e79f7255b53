#pragma once

#include <memory>

#include "storage/database.hpp"

struct st_mysql;
struct st_mysql_stmt;

namespace Bellwright::Storage {

// The table in a MySQL or MariaDB database, through MariaDB Connector/C. The database
// name travels in the connect call, never in SQL text. A connection that breaks is not
// reconnected here: the store closes it and opens a new one.
class MySqlDatabase final : public Database {
 public:
  MySqlDatabase(StorageSettings settings, const DatabaseTimeouts& timeouts);
  ~MySqlDatabase() override;
  MySqlDatabase(const MySqlDatabase&) = delete;
  MySqlDatabase& operator=(const MySqlDatabase&) = delete;

  std::optional<Failure> Open() override;
  void Close() override;
  bool IsOpen() const override { return connection_ != nullptr; }

  Expected<std::vector<StoredChoice>> ReadAll() override;
  Expected<bool> ReadOne(std::string_view player_key) override;
  std::optional<Failure> Write(std::span<const StoredChoice> choices) override;

 private:
  struct ConnectionCloser {
    void operator()(st_mysql* connection) const;
  };
  struct StatementCloser {
    void operator()(st_mysql_stmt* statement) const;
  };
  using Statement = std::unique_ptr<st_mysql_stmt, StatementCloser>;

  std::optional<Failure> Connect();
  std::optional<Failure> Prepare();
  std::optional<Failure> Execute(const char* sql);
  std::optional<Failure> WriteOne(const StoredChoice& choice);
  Failure ConnectionFailure() const;

  StorageSettings settings_;
  DatabaseTimeouts timeouts_;
  // Declared before the statements: they are closed before the connection.
  std::unique_ptr<st_mysql, ConnectionCloser> connection_;
  Statement select_all_;
  Statement select_one_;
  Statement upsert_;
};

}  // namespace Bellwright::Storage
