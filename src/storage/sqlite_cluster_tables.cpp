#include "storage/sqlite_cluster_tables.hpp"

#include <algorithm>
#include <string>
#include <utility>

namespace Bellwright::Storage {
namespace {

// The file's clock in milliseconds since 1970; SQLite keeps 'now' the same throughout one
// statement.
#define BELLWRIGHT_SQLITE_NOW_MS "CAST((julianday('now') - 2440587.5) * 86400000.0 AS INTEGER)"

// AUTOINCREMENT: a number is never handed out twice, even after the newest message was
// removed. The pair (instance, post_number) makes a post sent again after a failure a
// no-op.
constexpr const char* kCreateMessages =
    "CREATE TABLE IF NOT EXISTS bellwright_cluster_messages ("
    "id INTEGER PRIMARY KEY AUTOINCREMENT, sent_ms INTEGER NOT NULL, "
    "origin_key TEXT NOT NULL, origin_name TEXT NOT NULL, instance INTEGER NOT NULL, "
    "post_number INTEGER NOT NULL, body BLOB NOT NULL, UNIQUE (instance, post_number))";
constexpr const char* kIndexMessages =
    "CREATE INDEX IF NOT EXISTS bellwright_cluster_messages_by_age "
    "ON bellwright_cluster_messages (sent_ms)";
constexpr const char* kCreateServers =
    "CREATE TABLE IF NOT EXISTS bellwright_cluster_servers ("
    "server_key TEXT PRIMARY KEY NOT NULL, server_name TEXT NOT NULL, "
    "instance INTEGER NOT NULL, players INTEGER NOT NULL, seen_ms INTEGER NOT NULL, "
    "last_delivered INTEGER NOT NULL)";

constexpr const char* kJoin =
    "SELECT (SELECT last_delivered FROM bellwright_cluster_servers WHERE server_key = ?1), "
    "(SELECT COALESCE(MAX(id), 0) FROM bellwright_cluster_messages "
    "WHERE sent_ms < " BELLWRIGHT_SQLITE_NOW_MS
    " - ?2), "
    "(SELECT COALESCE(MAX(id), 0) FROM bellwright_cluster_messages)";
constexpr const char* kPost =
    "INSERT OR IGNORE INTO bellwright_cluster_messages "
    "(sent_ms, origin_key, origin_name, instance, post_number, body) "
    "VALUES (" BELLWRIGHT_SQLITE_NOW_MS " - ?1, ?2, ?3, ?4, ?5, ?6)";
// A local file hands the handled ones over again at no cost; they are passed over here.
constexpr const char* kFetch =
    "SELECT id, " BELLWRIGHT_SQLITE_NOW_MS
    " - sent_ms, origin_key, origin_name, instance, body "
    "FROM bellwright_cluster_messages WHERE id > ?1 ORDER BY id LIMIT ?2";
constexpr const char* kServers =
    "SELECT server_key, server_name, instance, players, " BELLWRIGHT_SQLITE_NOW_MS
    " - seen_ms FROM bellwright_cluster_servers WHERE seen_ms >= " BELLWRIGHT_SQLITE_NOW_MS " - ?1";
constexpr const char* kReport =
    "INSERT INTO bellwright_cluster_servers "
    "(server_key, server_name, instance, players, seen_ms, last_delivered) "
    "VALUES (?1, ?2, ?3, ?4, " BELLWRIGHT_SQLITE_NOW_MS
    ", ?5) ON CONFLICT (server_key) DO UPDATE SET server_name = excluded.server_name, "
    "instance = excluded.instance, players = excluded.players, seen_ms = excluded.seen_ms, "
    "last_delivered = excluded.last_delivered";
constexpr const char* kPrune =
    "DELETE FROM bellwright_cluster_messages WHERE id < ?1 AND sent_ms < " BELLWRIGHT_SQLITE_NOW_MS
    " - ?2";

#undef BELLWRIGHT_SQLITE_NOW_MS

bool Done(sqlite3_stmt* statement) {
  return sqlite3_step(statement) == SQLITE_DONE;
}

std::string ColumnString(sqlite3_stmt* statement, int column) {
  return std::string(ColumnBytes(statement, column));
}

}  // namespace

bool SqliteClusterTables::Open(sqlite3* connection) {
  connection_ = connection;
  for (const char* sql : {kCreateMessages, kIndexMessages, kCreateServers}) {
    if (sqlite3_exec(connection_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  }
  return PrepareKept(connection_, kJoin, join_) && PrepareKept(connection_, kPost, post_) &&
         PrepareKept(connection_, kFetch, fetch_) && PrepareKept(connection_, kServers, servers_) &&
         PrepareKept(connection_, kReport, report_) && PrepareKept(connection_, kPrune, prune_);
}

void SqliteClusterTables::Close() {
  for (SqliteStatement* statement : {&join_, &post_, &fetch_, &servers_, &report_, &prune_}) {
    statement->reset();
  }
  connection_ = nullptr;
}

std::optional<Outcome> SqliteClusterTables::Join(const ClusterIdentity& me,
                                                 std::chrono::milliseconds lifetime) {
  StatementUse use(join_.get());
  if (use.BindText(1, me.key) != SQLITE_OK || use.BindNumber(2, lifetime.count()) != SQLITE_OK ||
      sqlite3_step(use.get()) != SQLITE_ROW) {
    return std::nullopt;
  }
  ClusterJoinRow row;
  if (sqlite3_column_type(use.get(), 0) != SQLITE_NULL) {
    row.delivered = sqlite3_column_int64(use.get(), 0);
  }
  row.expired = sqlite3_column_int64(use.get(), 1);
  row.newest = sqlite3_column_int64(use.get(), 2);
  Outcome outcome;
  outcome.join = row;
  return outcome;
}

std::optional<Outcome> SqliteClusterTables::Post(const ClusterIdentity& me, std::int64_t instance,
                                                 const ClusterPost& post) {
  StatementUse use(post_.get());
  if (use.BindNumber(1, post.waited_ms) != SQLITE_OK || use.BindText(2, me.key) != SQLITE_OK ||
      use.BindText(3, me.name) != SQLITE_OK || use.BindNumber(4, instance) != SQLITE_OK ||
      use.BindNumber(5, post.number) != SQLITE_OK || use.BindBlob(6, post.body) != SQLITE_OK ||
      !Done(use.get())) {
    return std::nullopt;
  }
  Outcome outcome;
  if (sqlite3_changes(connection_) > 0) outcome.posted_id = sqlite3_last_insert_rowid(connection_);
  return outcome;
}

std::optional<Outcome> SqliteClusterTables::Fetch(const FetchRequest& request, std::size_t limit) {
  StatementUse use(fetch_.get());
  const auto wanted = static_cast<std::int64_t>(limit + request.handled.size());
  if (use.BindNumber(1, request.after) != SQLITE_OK || use.BindNumber(2, wanted) != SQLITE_OK) {
    return std::nullopt;
  }
  Outcome outcome;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(use.get())) == SQLITE_ROW) {
    ClusterMessageRow row;
    row.id = sqlite3_column_int64(use.get(), 0);
    if (std::binary_search(request.handled.begin(), request.handled.end(), row.id)) continue;
    row.age_ms = sqlite3_column_int64(use.get(), 1);
    row.origin_key = ColumnString(use.get(), 2);
    row.origin_name = ColumnString(use.get(), 3);
    row.instance = sqlite3_column_int64(use.get(), 4);
    row.body = ColumnString(use.get(), 5);
    outcome.messages.push_back(std::move(row));
  }
  if (step != SQLITE_DONE) return std::nullopt;
  if (outcome.messages.size() > limit) outcome.messages.resize(limit);
  return outcome;
}

std::optional<Outcome> SqliteClusterTables::Presence(const ClusterIdentity& me,
                                                     const PresenceReport& report,
                                                     std::chrono::milliseconds within) {
  Outcome outcome;
  {
    StatementUse use(servers_.get());
    if (use.BindNumber(1, within.count()) != SQLITE_OK) return std::nullopt;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(use.get())) == SQLITE_ROW) {
      outcome.servers.push_back({ColumnString(use.get(), 0), ColumnString(use.get(), 1),
                                 sqlite3_column_int64(use.get(), 2),
                                 sqlite3_column_int(use.get(), 3),
                                 sqlite3_column_int64(use.get(), 4)});
    }
    if (step != SQLITE_DONE) return std::nullopt;
  }
  StatementUse use(report_.get());
  if (use.BindText(1, me.key) != SQLITE_OK || use.BindText(2, me.name) != SQLITE_OK ||
      use.BindNumber(3, report.instance) != SQLITE_OK ||
      use.BindNumber(4, report.players) != SQLITE_OK ||
      use.BindNumber(5, report.delivered) != SQLITE_OK || !Done(use.get())) {
    return std::nullopt;
  }
  return outcome;
}

std::optional<Outcome> SqliteClusterTables::Prune(std::int64_t below,
                                                  std::chrono::milliseconds older_than) {
  StatementUse use(prune_.get());
  if (use.BindNumber(1, below) != SQLITE_OK || use.BindNumber(2, older_than.count()) != SQLITE_OK ||
      !Done(use.get())) {
    return std::nullopt;
  }
  return Outcome{};
}

}  // namespace Bellwright::Storage
