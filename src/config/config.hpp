#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "config/settings.hpp"

namespace Bellwright {

class LoadedConfig;
struct ConfigRead;
ConfigRead ReadConfigFile();
void UseConfig(LoadedConfig config);

// A configuration file read and parsed, not yet in use. Only ReadConfigFile makes
// one, so the live document only ever holds what a file said.
class LoadedConfig {
 public:
  [[nodiscard]] const nlohmann::json& Document() const { return document_; }

 private:
  friend ConfigRead ReadConfigFile();
  friend void UseConfig(LoadedConfig config);
  explicit LoadedConfig(nlohmann::json document) : document_(std::move(document)) {}

  nlohmann::json document_;
};

// The outcome of reading the configuration file: the file, or why it was refused.
struct ConfigRead {
  std::optional<LoadedConfig> config;
  std::string failure;  // "Can't open config.json", or the parser's message
};

// "<server directory>/ArkApi/Plugins/BellwrightEx/config.json".
std::string ConfigFilePath();

// Reads and parses the configuration file without touching the live document.
ConfigRead ReadConfigFile();

// Parses configuration text the way the file is read: an optional byte order mark,
// one JSON value, anything after it ignored, comments refused. Throws the JSON
// library's parse_error. The fuzz targets read their input through this too.
nlohmann::json ParseConfigText(std::string_view text);

// The configuration owner. Start reads the file into the live document and tells
// whether it could; Stop empties the document.
bool StartConfig();
void StopConfig();

// Puts a file that was read in place of the live document (a reload that went well).
void UseConfig(LoadedConfig config);

// The live configuration document: null until a file has been read.
const nlohmann::json& ConfigDocument();

}  // namespace Bellwright
