#include "config/storage_settings.hpp"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Bellwright {
namespace {

constexpr std::string_view kSqliteInstead =
    "it is ignored, so the choices are kept in SQLite, in bellwright.sqlite next to config.json";
constexpr std::string_view kStorageTypes[] = {"SQLite", "MySQL"};
// Read only for a MySQL server.
constexpr std::array<std::string_view, 5> kServerKeys = {"Host", "Port", "User", "Password",
                                                         "Database"};

void JudgeSqlite(const SettingValue& storage) {
  std::vector<std::string> unread;
  for (const auto& [key, value] : storage.Members()) {
    if (std::ranges::find(kServerKeys, key) != kServerKeys.end()) {
      unread.emplace_back(key);
    }
  }
  if (unread.empty()) {
    return;
  }
  const bool named = storage.Member("Type").Present();
  storage.AtValue(kWarning,
                  fmt::format("{} {} read only for \"Type\": \"MySQL\"; this storage is SQLite{}, "
                              "so the choices are kept in bellwright.sqlite next to config.json",
                              QuotedList(unread), unread.size() == 1 ? "is" : "are",
                              named ? "" : " (the default)"));
}

// The plug-in holds any number to the range, however large.
void JudgePort(const SettingValue& port) {
  if (!port.IsNumber()) {
    return;
  }
  const double number = std::trunc(port.Json()->get<double>());
  if (number >= 1 && number <= 65535) {
    return;
  }
  port.AtValue(kError, fmt::format("port {} is outside 1-65535: the plug-in connects to port {} "
                                   "instead; give the port of the MySQL server, such as 3306",
                                   port.Json()->dump(), number < 1 ? 1 : 65535));
}

void JudgeDatabase(const SettingValue& storage, const SettingValue& database) {
  constexpr std::string_view kNoDatabase =
      "the server has nowhere to make the table, so the choices stay in memory only, for the "
      "session; name the database, such as \"Database\": \"bellwright\"";
  if (!database.Present()) {
    storage.AtValue(kError, fmt::format("a MySQL storage without a \"Database\": {}", kNoDatabase));
  } else if (database.IsString() && database.Json()->get_ref<const std::string&>().empty()) {
    database.AtValue(kError, fmt::format("an empty database name: {}", kNoDatabase));
  }
}

Storage::StorageSettings ReadServer(const SettingValue& storage) {
  Storage::StorageSettings server;
  server.kind = Storage::StorageSettings::Kind::kMySql;
  server.host = storage.Member("Host").ValueOr<std::string>(
      "127.0.0.1", {kError, "it is ignored, so the host $default is used"});
  const SettingValue port = storage.Member("Port");
  server.port = static_cast<unsigned>(port.WholeNumberOr(
      3306, 1, 65535, {kError, "it is ignored, so the port $default is used", kNumbersOnly}));
  JudgePort(port);
  server.user = storage.Member("User").ValueOr<std::string>(
      "", {kError, "it is ignored, so the user name is empty"});
  server.password =
      storage.Member("Password")
          .ValueOr<std::string>("", {kError, "it is ignored, so no password is given"});
  const SettingValue database = storage.Member("Database");
  server.database = database.ValueOr<std::string>(
      "", {kError,
           "it is ignored, so no database is named: the table cannot be made and the choices stay "
           "in memory only"});
  JudgeDatabase(storage, database);
  return server;
}

StorageSetting Read(const SettingValue& storage) {
  StorageSetting setting;
  if (storage.Present() && !storage.Judge(JsonKind::kObject, {kError, kSqliteInstead})) {
    return setting;
  }
  const std::string type = storage.Member("Type").ChoiceOr(
      "SQLite", {kError, kSqliteInstead},
      {kStorageTypes, kError, "a storage type",
       "the opt-out choices are kept in memory only, for the session, and an error is logged"});
  // Judged whatever the type, as a mistake in it matters once the type is SQLite.
  std::string path = storage.Member("Path").ValueOr<std::string>(
      "", {kError, "it is ignored, so the file is bellwright.sqlite next to config.json"});
  if (type == "SQLite") {
    JudgeSqlite(storage);
    setting.storage->sqlite_path = std::move(path);
  } else if (type == "MySQL") {
    setting.storage = ReadServer(storage);
  } else {
    setting.storage.reset();
    setting.unknown_type = type;
  }
  return setting;
}

}  // namespace

StorageSetting ReadStorageSetting(const SettingValue& general, bool in_use) {
  const SettingValue storage = general.Member("Storage");
  if (in_use) {
    return Read(storage);
  }
  if (storage.IsObject() && !storage.Json()->empty()) {
    storage.AtKey(kWarning,
                  "is not read: players' choices are only stored while \"TimedMessages\" has an "
                  "\"OptOutCommand\"");
  }
  // Read all the same, for a reload to compare; nothing of it is judged.
  ConfigCheck::Findings unjudged(storage.Findings().Index());
  return Read(SettingValue(storage.Json(), storage.Pointer(), unjudged));
}

}  // namespace Bellwright
