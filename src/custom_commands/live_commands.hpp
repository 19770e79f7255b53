#pragma once

#include <cstdint>

#include "custom_commands/custom_command_table.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

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
