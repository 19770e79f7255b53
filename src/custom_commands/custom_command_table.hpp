#pragma once

#include <map>
#include <nlohmann/json.hpp>

#include "config/custom_command_settings.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// Command name to record. Names that differ only in letter case are one key, and the
// key keeps the spelling it was first inserted with.
using CustomCommandTable = std::map<FString, CustomCommand, FStringCaseInsensitiveLess>;

// Builds the table from the "CustomCommands" object of a configuration document
// (see ReadCustomCommands): a later name equal ignoring case replaces the record of
// an earlier one. Throws the JSON library's errors, so a caller can refuse the whole
// document.
CustomCommandTable BuildCustomCommandTable(const nlohmann::json& document);

}  // namespace Bellwright
