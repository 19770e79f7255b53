#include "storage/mysql_database.hpp"

#include <mysql.h>

#include <array>
#include <cstring>
#include <mutex>
#include <utility>

namespace Bellwright::Storage {
namespace {

// Binary keys: the caller's bytes, compared as bytes, whatever the server's collation.
constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS bellwright_timed_message_opt_out ("
    "player_key VARBINARY(255) NOT NULL PRIMARY KEY, opted_out TINYINT NOT NULL)";
constexpr const char* kSelectAll =
    "SELECT player_key, opted_out FROM bellwright_timed_message_opt_out";
constexpr const char* kSelectOne =
    "SELECT opted_out FROM bellwright_timed_message_opt_out WHERE player_key = ?";
constexpr const char* kUpsert =
    "INSERT INTO bellwright_timed_message_opt_out (player_key, opted_out) VALUES (?, ?) "
    "ON DUPLICATE KEY UPDATE opted_out = VALUES(opted_out)";

// The client library's start-up and clean-up are safe neither from two threads at once
// nor against each other. They are counted here, under one lock, on the thread that
// makes and drops stores: the first store starts the library, and the last one cleans it
// up, since an unloaded plug-in would otherwise leave its allocations behind for good.
std::mutex client_library_mutex;
int client_library_users = 0;

void AcquireClientLibrary() {
  const std::lock_guard lock(client_library_mutex);
  if (client_library_users++ == 0) mysql_library_init(0, nullptr, nullptr);
}

void ReleaseClientLibrary() {
  const std::lock_guard lock(client_library_mutex);
  if (--client_library_users == 0) mysql_library_end();
}

Failure StatementFailure(MYSQL_STMT* statement) {
  return Failure{mysql_stmt_error(statement)};
}

MYSQL_BIND KeyParameter(std::string_view player_key, unsigned long& length) {
  MYSQL_BIND bind{};
  length = static_cast<unsigned long>(player_key.size());
  bind.buffer_type = MYSQL_TYPE_BLOB;
  // The library only reads a parameter buffer.
  bind.buffer = const_cast<char*>(player_key.data());
  bind.buffer_length = length;
  bind.length = &length;
  return bind;
}

MYSQL_BIND TinyIntBind(signed char& value) {
  MYSQL_BIND bind{};
  bind.buffer_type = MYSQL_TYPE_TINY;
  bind.buffer = &value;
  return bind;
}

}  // namespace

void MySqlDatabase::ConnectionCloser::operator()(MYSQL* connection) const {
  mysql_close(connection);
}

void MySqlDatabase::StatementCloser::operator()(MYSQL_STMT* statement) const {
  mysql_stmt_close(statement);
}

MySqlDatabase::MySqlDatabase(StorageSettings settings, const DatabaseTimeouts& timeouts)
    : settings_(std::move(settings)), timeouts_(timeouts) {
  AcquireClientLibrary();
}

MySqlDatabase::~MySqlDatabase() {
  Close();
  ReleaseClientLibrary();
}

std::optional<Failure> MySqlDatabase::Open() {
  Close();
  std::optional<Failure> failure = Connect();
  if (!failure) {
    // An account kept to the rights it needs may not CREATE, even when the table an
    // administrator made already exists; then the statements decide.
    const std::optional<Failure> not_created = Execute(kCreateTable);
    failure = Prepare();
    if (failure && not_created) failure = not_created;
  }
  if (failure) Close();
  return failure;
}

void MySqlDatabase::Close() {
  upsert_.reset();
  select_one_.reset();
  select_all_.reset();
  connection_.reset();
}

std::optional<Failure> MySqlDatabase::Connect() {
  connection_.reset(mysql_init(nullptr));
  if (!connection_) return Failure{"out of memory for a MySQL connection"};
  const unsigned connect_timeout = static_cast<unsigned>(timeouts_.mysql_connect.count());
  const unsigned io_timeout = static_cast<unsigned>(timeouts_.mysql_io.count());
  mysql_options(connection_.get(), MYSQL_OPT_CONNECT_TIMEOUT, &connect_timeout);
  mysql_options(connection_.get(), MYSQL_OPT_READ_TIMEOUT, &io_timeout);
  mysql_options(connection_.get(), MYSQL_OPT_WRITE_TIMEOUT, &io_timeout);
  if (mysql_real_connect(connection_.get(), settings_.host.c_str(), settings_.user.c_str(),
                         settings_.password.c_str(), settings_.database.c_str(), settings_.port,
                         nullptr, 0) == nullptr) {
    return ConnectionFailure();
  }
  return std::nullopt;
}

std::optional<Failure> MySqlDatabase::Prepare() {
  const std::pair<const char*, Statement*> statements[] = {
      {kSelectAll, &select_all_}, {kSelectOne, &select_one_}, {kUpsert, &upsert_}};
  for (const auto& [sql, statement] : statements) {
    statement->reset(mysql_stmt_init(connection_.get()));
    if (!*statement) return ConnectionFailure();
    if (mysql_stmt_prepare(statement->get(), sql, std::strlen(sql)) != 0) {
      return StatementFailure(statement->get());
    }
  }
  return std::nullopt;
}

std::optional<Failure> MySqlDatabase::Execute(const char* sql) {
  if (mysql_query(connection_.get(), sql) != 0) return ConnectionFailure();
  return std::nullopt;
}

Failure MySqlDatabase::ConnectionFailure() const {
  return Failure{mysql_error(connection_.get())};
}

Expected<std::vector<StoredChoice>> MySqlDatabase::ReadAll() {
  MYSQL_STMT* statement = select_all_.get();
  std::array<char, kMaxStoredKeyBytes> key{};
  unsigned long key_length = 0;
  signed char opted_out = 0;
  std::array<MYSQL_BIND, 2> columns{};
  columns[0].buffer_type = MYSQL_TYPE_BLOB;
  columns[0].buffer = key.data();
  columns[0].buffer_length = key.size();
  columns[0].length = &key_length;
  columns[1] = TinyIntBind(opted_out);
  if (mysql_stmt_execute(statement) != 0 || mysql_stmt_bind_result(statement, columns.data()) ||
      mysql_stmt_store_result(statement) != 0) {
    return StatementFailure(statement);
  }
  std::vector<StoredChoice> choices;
  int fetched = 0;
  // A truncated key would be wider than the column: another program's row, skipped
  // rather than read as a different player's.
  while ((fetched = mysql_stmt_fetch(statement)) == 0 || fetched == MYSQL_DATA_TRUNCATED) {
    if (fetched == 0) choices.push_back({std::string(key.data(), key_length), opted_out != 0});
  }
  const bool complete = fetched == MYSQL_NO_DATA;
  Failure failure = complete ? Failure{} : StatementFailure(statement);
  mysql_stmt_free_result(statement);
  if (!complete) return failure;
  return choices;
}

Expected<bool> MySqlDatabase::ReadOne(std::string_view player_key) {
  MYSQL_STMT* statement = select_one_.get();
  unsigned long key_length = 0;
  MYSQL_BIND parameter = KeyParameter(player_key, key_length);
  signed char opted_out = 0;
  MYSQL_BIND column = TinyIntBind(opted_out);
  if (mysql_stmt_bind_param(statement, &parameter) || mysql_stmt_execute(statement) != 0 ||
      mysql_stmt_bind_result(statement, &column) || mysql_stmt_store_result(statement) != 0) {
    return StatementFailure(statement);
  }
  const int fetched = mysql_stmt_fetch(statement);
  Failure failure =
      fetched == 0 || fetched == MYSQL_NO_DATA ? Failure{} : StatementFailure(statement);
  mysql_stmt_free_result(statement);
  if (fetched == 0) return opted_out != 0;
  if (fetched == MYSQL_NO_DATA) return false;
  return failure;
}

std::optional<Failure> MySqlDatabase::WriteOne(const StoredChoice& choice) {
  MYSQL_STMT* statement = upsert_.get();
  unsigned long key_length = 0;
  signed char opted_out = choice.opted_out ? 1 : 0;
  std::array<MYSQL_BIND, 2> parameters = {KeyParameter(choice.player_key, key_length),
                                          TinyIntBind(opted_out)};
  if (mysql_stmt_bind_param(statement, parameters.data()) || mysql_stmt_execute(statement) != 0) {
    return StatementFailure(statement);
  }
  return std::nullopt;
}

std::optional<Failure> MySqlDatabase::Write(std::span<const StoredChoice> choices) {
  if (auto failure = Execute("START TRANSACTION")) return failure;
  for (const StoredChoice& choice : choices) {
    if (auto failure = WriteOne(choice)) {
      mysql_rollback(connection_.get());
      return failure;
    }
  }
  if (mysql_commit(connection_.get()) != 0) return ConnectionFailure();
  return std::nullopt;
}

}  // namespace Bellwright::Storage
