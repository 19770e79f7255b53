#pragma once

#include <optional>
#include <string>

#include "config/setting_reader.hpp"
#include "storage/storage_settings.hpp"

namespace Bellwright {

// The SQLite store's file, beside the configuration.
inline constexpr const char* kSqliteFileName = "bellwright.sqlite";

// Where the players' choices and greetings are kept.
struct StorageSetting {
  // Empty when the type names a storage the plug-in does not know. The SQLite file's
  // path is as "Path" gives it (empty without it): the owner places it, as the reader
  // knows no server folder.
  std::optional<Storage::StorageSettings> storage = Storage::StorageSettings{};
  // That unknown type, for the log.
  std::string unknown_type;

  friend bool operator==(const StorageSetting&, const StorageSetting&) = default;
};

// Reads the section leniently: a missing or wrongly typed value takes its default
// (SQLite; MySQL at 127.0.0.1:3306 with empty user, password and database), and a port
// is truncated and held to 1..65535. The values are judged only while the storage is
// `in_use` (an opt-out command or a first-join welcome is set), the server's only for
// MySQL. From the general section (GeneralSection).
StorageSetting ReadStorageSetting(const SettingValue& general, bool in_use);

}  // namespace Bellwright
