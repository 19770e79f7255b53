#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "storage/storage_settings.hpp"

namespace Bellwright {

// Where the players' opt-out choices are kept, as "Bellwright" -> "Storage" says.
struct StorageSetting {
  // Empty when `Type` names a storage the plug-in does not know.
  std::optional<Storage::StorageSettings> storage;
  // That unknown `Type`, for the log.
  std::string unknown_type;
};

// Reads the section leniently: a missing or wrongly typed value takes its default
// ("SQLite" in the plug-in's folder; MySQL at 127.0.0.1:3306 with empty user, password
// and database), and a `Port` number is truncated and held to 1..65535.
StorageSetting ReadStorageSetting(const nlohmann::json& document);

}  // namespace Bellwright
