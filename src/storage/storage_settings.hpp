#pragma once

#include <string>

namespace Bellwright::Storage {

// Where the choices are kept; filled by the plug-in from its configuration.
struct StorageSettings {
  enum class Kind { kSqlite, kMySql };
  Kind kind = Kind::kSqlite;
  std::string sqlite_path;
  std::string host;
  unsigned port = 3306;
  std::string user;
  std::string password;
  std::string database;
  // Whether the cluster's tables are kept too: a server of a cluster has a name.
  bool cluster = false;

  friend bool operator==(const StorageSettings&, const StorageSettings&) = default;
};

// The storage as an administrator recognises it in a log line, without the password:
// "SQLite /srv/plugin/bellwright.sqlite" or "MySQL user@host:3306/database".
std::string DescribeStorage(const StorageSettings& settings);

}  // namespace Bellwright::Storage
