#include "storage/database.hpp"

#include "storage/mysql_database.hpp"
#include "storage/sqlite_database.hpp"

namespace Bellwright::Storage {

std::unique_ptr<Database> MakeDatabase(const StorageSettings& settings,
                                       const StoreOptions& options) {
  if (settings.kind == StorageSettings::Kind::kSqlite) {
    return std::make_unique<SqliteDatabase>(settings.sqlite_path, settings.cluster);
  }
  return std::make_unique<MySqlDatabase>(settings, options);
}

}  // namespace Bellwright::Storage
