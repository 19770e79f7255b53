#pragma once

#include "custom_commands/custom_command.hpp"
#include "custom_commands/custom_command_table.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// Builds the table from the live configuration and registers every command with the
// host's chat registry. Throws the JSON library's errors; the commands registered
// before the call stay registered then, and nothing new is.
void LoadCustomCommands();

// Puts `table` in place of the live table and registers each of its commands. The
// caller has unregistered the old ones.
void InstallCustomCommands(CustomCommandTable table);

// Removes the host registration of every command in the live table; the entries stay
// until the next install.
void UnregisterCustomCommands();

// The record for a typed command name (letter case ignored), or null.
const CustomCommand* FindCustomCommand(const FString& name);

}  // namespace Bellwright
