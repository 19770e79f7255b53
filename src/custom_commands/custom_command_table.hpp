#pragma once

#include <map>

#include "config/custom_command_settings.hpp"
#include "custom_commands/custom_command.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// Command name to record. Names that differ only in letter case are one key, and the
// key keeps the spelling it was first inserted with.
using CustomCommandTable = std::map<FString, CustomCommand, FStringCaseInsensitiveLess>;

// Builds the table from the commands as configured: a later name equal ignoring case
// replaces the record of an earlier one. Throws the JSON library's error that stopped
// the loader, so a caller can refuse the whole file.
CustomCommandTable BuildCustomCommandTable(const CustomCommandSettings& settings);

}  // namespace Bellwright
