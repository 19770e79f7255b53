#pragma once

#include <cstdint>
#include <map>

#include "custom_commands/command_cooldowns.hpp"
#include "custom_commands/custom_command_table.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// The custom commands in use: the table, the aliases registered for it, and the
// cooldowns, kept across reloads for the commands that remain.
struct LiveCustomCommands {
  CustomCommandTable table;
  // Alias to the table key it stands for.
  std::map<FString, FString, FStringCaseInsensitiveLess> aliases;
  CommandCooldowns cooldowns;
};

// Made on first use: the library's start-up runs before its other static objects are
// constructed.
LiveCustomCommands& LiveCommands();

// The live entry (the command's name as configured and its record) for a typed
// command name or alias, letter case ignored; null for neither. The entry lives
// until the table is next replaced.
const CustomCommandTable::value_type* FindCustomCommand(const FString& name);

// The live cooldowns, by the command's name as configured and the player's unique id
// (see CommandCooldowns).
std::int64_t CooldownTicksLeft(const FString& command, const FString& player, std::int64_t cooldown,
                               std::int64_t now);
void RecordCommandUse(const FString& command, const FString& player, std::int64_t cooldown,
                      std::int64_t now);

}  // namespace Bellwright
