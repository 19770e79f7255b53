#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_settings.hpp"
#include "config_checks/json_text/finding.hpp"

namespace Bellwright {

class LoadedConfig;
struct ConfigRead;
ConfigRead ReadConfigFile(ZoneChecks zones);
void UseConfig(LoadedConfig config);

// A configuration file read and parsed, not yet in use. Only ReadConfigFile makes
// one, so the live document only ever holds what a file said.
class LoadedConfig {
 public:
  [[nodiscard]] const nlohmann::json& Document() const { return document_; }
  // What the plug-in takes from the file, section by section.
  [[nodiscard]] const ConfigSettings& Settings() const { return settings_; }
  // Where the custom commands of this file stop loading, for the log:
  // "/CustomCommands/~1x/Type (config.json:3:20)"; empty when they load.
  [[nodiscard]] const std::string& CustomCommandsFailure() const {
    return custom_commands_failure_;
  }
  // What the checks found in this file, in the order of their place in it.
  [[nodiscard]] const std::vector<ConfigCheck::Finding>& Findings() const { return findings_; }

 private:
  friend ConfigRead ReadConfigFile(ZoneChecks zones);
  friend void UseConfig(LoadedConfig config);
  LoadedConfig(nlohmann::json document, ConfigSettings settings,
               std::string custom_commands_failure, std::vector<ConfigCheck::Finding> findings,
               std::vector<ZoneToLookUp> zones_to_look_up)
      : document_(std::move(document)),
        settings_(std::move(settings)),
        custom_commands_failure_(std::move(custom_commands_failure)),
        findings_(std::move(findings)),
        zones_to_look_up_(std::move(zones_to_look_up)) {}

  nlohmann::json document_;
  ConfigSettings settings_;
  std::string custom_commands_failure_;
  std::vector<ConfigCheck::Finding> findings_;
  std::vector<ZoneToLookUp> zones_to_look_up_;
};

// The outcome of reading the configuration file: the file, or why it was refused.
// Either way, the checks' findings have gone to the log.
struct ConfigRead {
  std::optional<LoadedConfig> config;
  // Why the file was refused: "Can't open config.json: PATH: CAUSE", or the place and
  // the cause of the syntax error.
  std::string failure;
};

// "<server directory>/ArkApi/Plugins/BellwrightEx": the configuration file and the
// SQLite store of the players' choices live there.
std::filesystem::path PluginFolderPath();
// "<server directory>/ArkApi/Plugins/BellwrightEx/config.json".
std::filesystem::path ConfigFilePath();

// Reads, parses and checks the configuration file without touching the live
// document; every finding of the checks goes to the log, a warning or an error. The
// start leaves the schedules' zones for CheckZonesLeftForLater (ZoneChecks).
ConfigRead ReadConfigFile(ZoneChecks zones = ZoneChecks::kWithTheOthers);

// The configuration owner. Start reads the file into the live document and tells
// whether it could; Stop empties the document.
bool StartConfig();
void StopConfig();

// Puts a file that was read in place of the live document (a reload that went well).
void UseConfig(LoadedConfig config);

// Where the live file's custom commands stop loading (see LoadedConfig).
const std::string& LiveCustomCommandsFailure();

// What the checks found in the live file when it was loaded or reloaded.
const std::vector<ConfigCheck::Finding>& LiveFindings();

// Looks up the zones the start left for later, once: their findings go to the log and
// join LiveFindings. Called at the first timer call.
void CheckZonesLeftForLater();

// "config.json": how findings name the file, as administrators know it.
std::string_view ConfigFileName();

// The live configuration document: null until a file has been read.
const nlohmann::json& ConfigDocument();

// What the plug-in takes from the live file: the defaults until a file has been read.
// Lives until the next file is put in place.
const ConfigSettings& LiveSettings();

}  // namespace Bellwright
