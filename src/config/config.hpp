#pragma once

#include <nlohmann/json.hpp>

namespace Bellwright {

// Reads and parses the configuration file without touching the live document.
// Throws std::runtime_error("Can't open config.json") when the file cannot be
// opened, and nlohmann::json::parse_error when it is not one valid JSON value.
nlohmann::json ReadConfigFile();

// Replaces the live configuration document only when the whole file parsed, so a
// failed read leaves the previous settings exactly as they were.
void ReadConfig();

// The live configuration document (null until the first successful read).
const nlohmann::json& ConfigDocument();
void ReplaceConfigDocument(nlohmann::json document);

}  // namespace Bellwright
