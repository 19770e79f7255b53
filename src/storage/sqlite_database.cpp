#include "storage/sqlite_database.hpp"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include "storage/sqlite_statement.hpp"

namespace Bellwright::Storage {
namespace {

constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS bellwright_timed_message_opt_out ("
    "player_key TEXT PRIMARY KEY NOT NULL, opted_out INTEGER NOT NULL)";
constexpr const char* kSelectOne =
    "SELECT opted_out FROM bellwright_timed_message_opt_out WHERE player_key = ?1";
constexpr const char* kUpsert =
    "INSERT INTO bellwright_timed_message_opt_out (player_key, opted_out) VALUES (?1, ?2) "
    "ON CONFLICT (player_key) DO UPDATE SET opted_out = excluded.opted_out";
// Players ever greeted, by the same key; a table of its own, so a file made before it
// gains it at the next open and keeps its choices as they are.
constexpr const char* kCreateGreetedTable =
    "CREATE TABLE IF NOT EXISTS bellwright_greeted_players (player_key TEXT PRIMARY KEY NOT NULL)";
constexpr const char* kSelectGreeted =
    "SELECT 1 FROM bellwright_greeted_players WHERE player_key = ?1";
constexpr const char* kInsertGreeted =
    "INSERT OR IGNORE INTO bellwright_greeted_players (player_key) VALUES (?1)";

}  // namespace

void SqliteDatabase::ConnectionCloser::operator()(sqlite3* connection) const {
  sqlite3_close_v2(connection);
}

SqliteDatabase::SqliteDatabase(std::string path, bool cluster)
    : path_(std::move(path)), cluster_(cluster) {}

SqliteDatabase::~SqliteDatabase() {
  Close();
}

std::optional<Outcome> SqliteDatabase::BeginOpen() {
  return Open();
}

Outcome SqliteDatabase::Open() {
  Close();
  sqlite3* raw = nullptr;
  const int opened =
      sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  // SQLite hands out a connection even when opening fails; it carries the reason.
  connection_.reset(raw);
  if (opened != SQLITE_OK) {
    Outcome failed = connection_ ? Failed() : FailedWith(sqlite3_errstr(opened));
    Close();
    return failed;
  }
  sqlite3_extended_result_codes(connection_.get(), 1);
  // No busy timeout: a lock held elsewhere is tried again at the next turn, not waited for.
  sqlite3_busy_timeout(connection_.get(), 0);
  // Set first, so that not even the journal's change nor the tables' creation waits for
  // the disk. A committed transaction survives a crash of this process; a power cut
  // may lose those since the last unload, which settles the file (SettleOnDisk).
  std::optional<Failure> failure = Execute("PRAGMA synchronous = OFF");
  if (!failure) failure = Execute("PRAGMA journal_mode = WAL");
  if (!failure && sqlite3_db_readonly(connection_.get(), "main") == 1) {
    failure = Failure{"the file is read-only"};
  }
  if (!failure) failure = Execute(kCreateTable);
  if (!failure) failure = Execute(kCreateGreetedTable);
  if (!failure) failure = Prepare();
  if (!failure && cluster_ && !cluster_tables_.Open(connection_.get())) failure = Failed().failure;
  if (!failure) return {};
  Outcome failed = Failed();
  failed.failure = std::move(failure);
  Close();
  return failed;
}

namespace {

// Flushes one of the connection's files to the disk through SQLite's own file layer.
void Sync(sqlite3* connection, int which_file) {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(connection, "main", which_file, &file) == SQLITE_OK && file != nullptr &&
      file->pMethods != nullptr) {
    file->pMethods->xSync(file, SQLITE_SYNC_NORMAL);
  }
}

}  // namespace

void SqliteDatabase::SettleOnDisk() {
  if (!connection_) {
    return;
  }
  // What the log holds goes into the file where no reader keeps it; then both are
  // flushed, whoever wrote them.
  sqlite3_wal_checkpoint_v2(connection_.get(), "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
  Sync(connection_.get(), SQLITE_FCNTL_JOURNAL_POINTER);
  Sync(connection_.get(), SQLITE_FCNTL_FILE_POINTER);
}

void SqliteDatabase::Close() {
  cluster_tables_.Close();
  insert_greeted_.reset();
  select_greeted_.reset();
  upsert_.reset();
  select_one_.reset();
  connection_.reset();
}

bool SqliteDatabase::WasReplaced() {
  int moved = 0;
  return connection_ &&
         sqlite3_file_control(connection_.get(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) ==
             SQLITE_OK &&
         moved != 0;
}

std::optional<Failure> SqliteDatabase::Prepare() {
  const std::pair<const char*, Statement*> statements[] = {{kSelectOne, &select_one_},
                                                           {kUpsert, &upsert_},
                                                           {kSelectGreeted, &select_greeted_},
                                                           {kInsertGreeted, &insert_greeted_}};
  for (const auto& [sql, statement] : statements) {
    if (!PrepareKept(connection_.get(), sql, *statement)) return Failed().failure;
  }
  return std::nullopt;
}

std::optional<Failure> SqliteDatabase::Execute(const char* sql) {
  if (sqlite3_exec(connection_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
    return Failed().failure;
  }
  return std::nullopt;
}

void SqliteDatabase::RollBack() {
  // Its own outcome does not matter: the failure that led here is what gets reported.
  sqlite3_exec(connection_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

namespace {

// SQLite tells the errno of its last attempt, which after a refused writable open is a
// read-only one: a folder that may not be written to reads as "No such file or
// directory". Opening the file for writing once more tells the real cause; `otherwise`
// when it opens. Only on the way to reporting a failure, so the extra open is rare.
int WriteOpenErrno(const std::string& utf8_path, int otherwise) {
  errno = 0;
  const std::ofstream probe(
      std::filesystem::path(std::u8string(utf8_path.begin(), utf8_path.end())),
      std::ios::binary | std::ios::app);
  return probe.is_open() || errno == 0 ? otherwise : errno;
}

}  // namespace

Outcome SqliteDatabase::Failed() {
  std::string cause = sqlite3_errmsg(connection_.get());
  // "unable to open database file" alone does not tell a missing folder from a
  // read-only one.
  const int primary_code = sqlite3_extended_errcode(connection_.get()) & 0xff;
  const bool from_file_system = primary_code == SQLITE_CANTOPEN || primary_code == SQLITE_IOERR ||
                                primary_code == SQLITE_READONLY;
  int system_error = sqlite3_system_errno(connection_.get());
  if (primary_code == SQLITE_CANTOPEN) {
    system_error = WriteOpenErrno(path_, system_error);
  }
  if (from_file_system && system_error != 0) {
    cause += " (";
    cause += std::strerror(system_error);  // NOLINT(concurrency-mt-unsafe): game thread only
    cause += ")";
  }
  Outcome outcome = FailedWith(std::move(cause));
  outcome.busy = primary_code == SQLITE_BUSY || primary_code == SQLITE_LOCKED;
  return outcome;
}

std::optional<Outcome> SqliteDatabase::BeginRead(std::span<const std::string> player_keys) {
  Outcome outcome;
  for (const std::string& player_key : player_keys) {
    StatementUse use(select_one_.get());
    if (use.BindKey(player_key) != SQLITE_OK) return Failed();
    const int step = sqlite3_step(use.get());
    if (step == SQLITE_ROW) {
      outcome.rows.push_back({player_key, sqlite3_column_int(use.get(), 0) != 0});
    } else if (step != SQLITE_DONE) {
      return Failed();
    }
  }
  return outcome;
}

std::optional<Outcome> SqliteDatabase::BeginWrite(std::span<const StoredChoice> choices) {
  return Write(choices);
}

Outcome SqliteDatabase::Write(std::span<const StoredChoice> choices) {
  return InTransaction(choices.size(), [&](std::size_t index) {
    StatementUse use(upsert_.get());
    return use.BindKey(choices[index].player_key) == SQLITE_OK &&
           sqlite3_bind_int(use.get(), 2, choices[index].opted_out ? 1 : 0) == SQLITE_OK &&
           sqlite3_step(use.get()) == SQLITE_DONE;
  });
}

std::optional<Outcome> SqliteDatabase::BeginReadGreeted(std::span<const std::string> player_keys) {
  Outcome outcome;
  for (const std::string& player_key : player_keys) {
    StatementUse use(select_greeted_.get());
    if (use.BindKey(player_key) != SQLITE_OK) return Failed();
    const int step = sqlite3_step(use.get());
    if (step == SQLITE_ROW) {
      outcome.greeted.push_back(player_key);
    } else if (step != SQLITE_DONE) {
      return Failed();
    }
  }
  return outcome;
}

std::optional<Outcome> SqliteDatabase::BeginRecordGreeted(
    std::span<const std::string> player_keys) {
  return InTransaction(player_keys.size(), [&](std::size_t index) {
    StatementUse use(insert_greeted_.get());
    return use.BindKey(player_keys[index]) == SQLITE_OK && sqlite3_step(use.get()) == SQLITE_DONE;
  });
}

Outcome SqliteDatabase::InTransaction(std::size_t count,
                                      const std::function<bool(std::size_t)>& write_one) {
  if (sqlite3_exec(connection_.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
    return Failed();
  }
  for (std::size_t index = 0; index < count; ++index) {
    if (!write_one(index)) {
      Outcome failed = Failed();
      RollBack();
      return failed;
    }
  }
  if (sqlite3_exec(connection_.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    Outcome failed = Failed();
    RollBack();
    return failed;
  }
  return {};
}

template <typename Operation>
Outcome SqliteDatabase::OnClusterTables(Operation operation) {
  if (!connection_ || !cluster_) return FailedWith("the cluster's tables are not open");
  std::optional<Outcome> outcome = operation(cluster_tables_);
  return outcome ? std::move(*outcome) : Failed();
}

std::optional<Outcome> SqliteDatabase::BeginJoinCluster(const ClusterIdentity& me,
                                                        std::chrono::milliseconds lifetime) {
  return OnClusterTables([&](SqliteClusterTables& tables) { return tables.Join(me, lifetime); });
}

std::optional<Outcome> SqliteDatabase::BeginPost(const ClusterIdentity& me, std::int64_t instance,
                                                 const ClusterPost& post) {
  return OnClusterTables(
      [&](SqliteClusterTables& tables) { return tables.Post(me, instance, post); });
}

std::optional<Outcome> SqliteDatabase::BeginFetch(const FetchRequest& request, std::size_t limit) {
  return OnClusterTables([&](SqliteClusterTables& tables) { return tables.Fetch(request, limit); });
}

std::optional<Outcome> SqliteDatabase::BeginPresence(const ClusterIdentity& me,
                                                     const PresenceReport& report,
                                                     std::chrono::milliseconds within) {
  return OnClusterTables(
      [&](SqliteClusterTables& tables) { return tables.Presence(me, report, within); });
}

std::optional<Outcome> SqliteDatabase::BeginPrune(std::int64_t below,
                                                  std::chrono::milliseconds older_than) {
  return OnClusterTables(
      [&](SqliteClusterTables& tables) { return tables.Prune(below, older_than); });
}

}  // namespace Bellwright::Storage
