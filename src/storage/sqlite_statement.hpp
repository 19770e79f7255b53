#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string_view>

namespace Bellwright::Storage {

struct SqliteStatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteStatementFinalizer>;

// Prepares a statement kept for the connection's life; false when SQLite refused it (the
// connection tells why).
inline bool PrepareKept(sqlite3* connection, const char* sql, SqliteStatement& statement) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v3(connection, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) !=
      SQLITE_OK) {
    return false;
  }
  statement.reset(raw);
  return true;
}

// Resets a statement however its use ends, so the next use starts clean and a read
// does not keep the file's read lock. Every value is bound as a parameter: whatever its
// bytes, it is a value, never a part of the statement.
class StatementUse {
 public:
  explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
  ~StatementUse() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

  int BindKey(std::string_view player_key) { return BindText(1, player_key); }
  int BindText(int index, std::string_view text) {
    return sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT);
  }
  int BindBlob(int index, std::string_view bytes) {
    // A zero-length blob, not NULL, for an empty body.
    return bytes.empty() ? sqlite3_bind_zeroblob(statement_, index, 0)
                         : sqlite3_bind_blob(statement_, index, bytes.data(),
                                             static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  int BindNumber(int index, std::int64_t number) {
    return sqlite3_bind_int64(statement_, index, number);
  }
  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_;
};

// A column's bytes as they are, NULs and all.
inline std::string_view ColumnBytes(sqlite3_stmt* statement, int column) {
  const void* bytes = sqlite3_column_blob(statement, column);
  const int size = sqlite3_column_bytes(statement, column);
  if (bytes == nullptr || size <= 0) return {};
  return {static_cast<const char*>(bytes), static_cast<std::size_t>(size)};
}

}  // namespace Bellwright::Storage
