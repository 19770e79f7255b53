#include "config/storage_settings_reader.hpp"

#include "config/config.hpp"
#include "config/settings.hpp"

namespace Bellwright {

StorageSetting ReadStorageSetting(const nlohmann::json& document) {
  using Storage::StorageSettings;
  const nlohmann::json& bellwright = Settings::SectionOrEmpty(document, "Bellwright");
  const nlohmann::json& section = Settings::SectionOrEmpty(bellwright, "Storage");
  const auto type = Settings::ValueOr<std::string>(section, "Type", "SQLite");
  StorageSettings storage;
  if (type == "SQLite") {
    storage.sqlite_path = PluginFolderPath() + "/bellwright.sqlite";
  } else if (type == "MySQL") {
    storage.kind = StorageSettings::Kind::kMySql;
    storage.host = Settings::ValueOr<std::string>(section, "Host", "127.0.0.1");
    storage.port = static_cast<unsigned>(Settings::WholeNumberOr(section, "Port", 3306, 1, 65535));
    storage.user = Settings::ValueOr<std::string>(section, "User", "");
    storage.password = Settings::ValueOr<std::string>(section, "Password", "");
    storage.database = Settings::ValueOr<std::string>(section, "Database", "");
  } else {
    return {std::nullopt, type};
  }
  return {storage, {}};
}

}  // namespace Bellwright
