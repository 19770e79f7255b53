#include "storage/sqlite_database.hpp"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

namespace Bellwright::Storage {
namespace {

constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS bellwright_timed_message_opt_out ("
    "player_key TEXT PRIMARY KEY NOT NULL, opted_out INTEGER NOT NULL)";
constexpr const char* kSelectAll =
    "SELECT player_key, opted_out FROM bellwright_timed_message_opt_out";
constexpr const char* kSelectOne =
    "SELECT opted_out FROM bellwright_timed_message_opt_out WHERE player_key = ?1";
constexpr const char* kUpsert =
    "INSERT INTO bellwright_timed_message_opt_out (player_key, opted_out) VALUES (?1, ?2) "
    "ON CONFLICT (player_key) DO UPDATE SET opted_out = excluded.opted_out";

// Resets a statement however its use ends, so the next use starts clean and a read
// does not keep the file's read lock.
class StatementUse {
 public:
  explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
  ~StatementUse() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

  int BindKey(std::string_view player_key) {
    return sqlite3_bind_text(statement_, 1, player_key.data(), static_cast<int>(player_key.size()),
                             SQLITE_TRANSIENT);
  }
  sqlite3_stmt* operator->() const { return statement_; }
  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_;
};

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = sqlite3_column_text(statement, column);
  const int size = sqlite3_column_bytes(statement, column);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), size);
}

}  // namespace

void SqliteDatabase::ConnectionCloser::operator()(sqlite3* connection) const {
  sqlite3_close_v2(connection);
}

void SqliteDatabase::StatementFinalizer::operator()(sqlite3_stmt* statement) const {
  sqlite3_finalize(statement);
}

SqliteDatabase::SqliteDatabase(std::string path, std::chrono::milliseconds busy_timeout)
    : path_(std::move(path)), busy_timeout_(busy_timeout) {}

SqliteDatabase::~SqliteDatabase() {
  Close();
}

template <typename Attempt>
auto SqliteDatabase::RetryWhileBusy(Attempt attempt) {
  const auto deadline = std::chrono::steady_clock::now() + busy_timeout_;
  for (;;) {
    last_failure_was_busy_ = false;
    auto outcome = attempt();
    if (!last_failure_was_busy_ || std::chrono::steady_clock::now() >= deadline) return outcome;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::optional<Failure> SqliteDatabase::Open() {
  return RetryWhileBusy([this] { return OpenOnce(); });
}

std::optional<Failure> SqliteDatabase::OpenOnce() {
  Close();
  sqlite3* raw = nullptr;
  const int opened =
      sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  // SQLite hands out a connection even when opening fails; it carries the reason.
  connection_.reset(raw);
  if (opened != SQLITE_OK) {
    Failure failure = connection_ ? LastFailure() : Failure{sqlite3_errstr(opened)};
    Close();
    return failure;
  }
  sqlite3_extended_result_codes(connection_.get(), 1);
  sqlite3_busy_timeout(connection_.get(), static_cast<int>(busy_timeout_.count()));
  std::optional<Failure> failure = Execute("PRAGMA journal_mode = WAL");
  if (!failure && sqlite3_db_readonly(connection_.get(), "main") == 1) {
    failure = Failure{"the file is read-only"};
  }
  if (!failure) failure = Execute(kCreateTable);
  if (!failure) failure = Prepare();
  if (failure) Close();
  return failure;
}

void SqliteDatabase::Close() {
  upsert_.reset();
  select_one_.reset();
  select_all_.reset();
  connection_.reset();
}

std::optional<Failure> SqliteDatabase::Prepare() {
  const std::pair<const char*, Statement*> statements[] = {
      {kSelectAll, &select_all_}, {kSelectOne, &select_one_}, {kUpsert, &upsert_}};
  for (const auto& [sql, statement] : statements) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(connection_.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) !=
        SQLITE_OK) {
      return LastFailure();
    }
    statement->reset(raw);
  }
  return std::nullopt;
}

std::optional<Failure> SqliteDatabase::Execute(const char* sql) {
  if (sqlite3_exec(connection_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
    return LastFailure();
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
// when it opens.
int WriteOpenErrno(const std::string& utf8_path, int otherwise) {
  errno = 0;
  const std::ofstream probe(
      std::filesystem::path(std::u8string(utf8_path.begin(), utf8_path.end())),
      std::ios::binary | std::ios::app);
  return probe.is_open() || errno == 0 ? otherwise : errno;
}

}  // namespace

Failure SqliteDatabase::LastFailure() {
  std::string cause = sqlite3_errmsg(connection_.get());
  // "unable to open database file" alone does not tell a missing folder from a
  // read-only one.
  const int primary_code = sqlite3_extended_errcode(connection_.get()) & 0xff;
  last_failure_was_busy_ = primary_code == SQLITE_BUSY || primary_code == SQLITE_LOCKED;
  const bool from_file_system = primary_code == SQLITE_CANTOPEN || primary_code == SQLITE_IOERR ||
                                primary_code == SQLITE_READONLY;
  int system_error = sqlite3_system_errno(connection_.get());
  if (primary_code == SQLITE_CANTOPEN) {
    system_error = WriteOpenErrno(path_, system_error);
  }
  if (from_file_system && system_error != 0) {
    cause += " (";
    cause += std::strerror(system_error);  // NOLINT(concurrency-mt-unsafe): worker only
    cause += ")";
  }
  return Failure{std::move(cause)};
}

Expected<std::vector<StoredChoice>> SqliteDatabase::ReadAll() {
  return RetryWhileBusy([this]() -> Expected<std::vector<StoredChoice>> {
    StatementUse use(select_all_.get());
    std::vector<StoredChoice> choices;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(use.get())) == SQLITE_ROW) {
      choices.push_back({ColumnText(use.get(), 0), sqlite3_column_int(use.get(), 1) != 0});
    }
    if (step != SQLITE_DONE) return LastFailure();
    return choices;
  });
}

Expected<bool> SqliteDatabase::ReadOne(std::string_view player_key) {
  return RetryWhileBusy([this, player_key]() -> Expected<bool> {
    StatementUse use(select_one_.get());
    if (use.BindKey(player_key) != SQLITE_OK) return LastFailure();
    const int step = sqlite3_step(use.get());
    if (step == SQLITE_ROW) return sqlite3_column_int(use.get(), 0) != 0;
    if (step == SQLITE_DONE) return false;
    return LastFailure();
  });
}

std::optional<Failure> SqliteDatabase::Write(std::span<const StoredChoice> choices) {
  return RetryWhileBusy([this, choices] { return WriteOnce(choices); });
}

std::optional<Failure> SqliteDatabase::WriteOnce(std::span<const StoredChoice> choices) {
  if (auto failure = Execute("BEGIN IMMEDIATE")) return failure;
  for (const StoredChoice& choice : choices) {
    StatementUse use(upsert_.get());
    if (use.BindKey(choice.player_key) != SQLITE_OK ||
        sqlite3_bind_int(use.get(), 2, choice.opted_out ? 1 : 0) != SQLITE_OK ||
        sqlite3_step(use.get()) != SQLITE_DONE) {
      Failure failure = LastFailure();
      RollBack();
      return failure;
    }
  }
  if (auto failure = Execute("COMMIT")) {
    RollBack();
    return failure;
  }
  return std::nullopt;
}

}  // namespace Bellwright::Storage
