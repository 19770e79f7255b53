#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "storage/cluster_rows.hpp"
#include "storage/database.hpp"
#include "storage/sqlite_statement.hpp"

namespace Bellwright::Storage {

// The cluster's two tables in the SQLite file that the servers of one machine share:
// the messages for every server, numbered in the order they were written, and each
// server's last report. The file's clock is the machine's, which those servers share.
// Each operation finishes in the call; nothing means an SQLite call failed, and the
// connection tells why.
class SqliteClusterTables {
 public:
  // Makes the tables when they are missing and prepares the statements.
  bool Open(sqlite3* connection);
  void Close();

  std::optional<Outcome> Join(const ClusterIdentity& me, std::chrono::milliseconds lifetime);
  std::optional<Outcome> Post(const ClusterIdentity& me, std::int64_t instance,
                              const ClusterPost& post);
  std::optional<Outcome> Fetch(const FetchRequest& request, std::size_t limit);
  std::optional<Outcome> Presence(const ClusterIdentity& me, const PresenceReport& report,
                                  std::chrono::milliseconds within);
  std::optional<Outcome> Prune(std::int64_t below, std::chrono::milliseconds older_than);

 private:
  sqlite3* connection_ = nullptr;
  SqliteStatement join_;
  SqliteStatement post_;
  SqliteStatement fetch_;
  SqliteStatement servers_;
  SqliteStatement report_;
  SqliteStatement prune_;
};

}  // namespace Bellwright::Storage
