#include "storage/storage_settings.hpp"

namespace Bellwright::Storage {

std::string DescribeStorage(const StorageSettings& settings) {
  if (settings.kind == StorageSettings::Kind::kSqlite) return "SQLite " + settings.sqlite_path;
  return "MySQL " + settings.user + "@" + settings.host + ":" + std::to_string(settings.port) +
         "/" + settings.database;
}

}  // namespace Bellwright::Storage
