#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "base/command_outcome.hpp"
#include "custom_commands/custom_command_table.hpp"
#include "host/game.hpp"

// Custom chat commands from the configuration: the table and its registrations with
// the host's chat-command registry.
namespace Bellwright {

// Builds the table from the live configuration and registers every command. Throws
// the JSON library's errors for a section it cannot read; nothing is registered then.
void StartCustomCommands();

// Removes every registration and empties the table.
void StopCustomCommands();

// Removes the registrations of the live table, puts `table` in its place and
// registers its commands (a reload that went well).
void InstallCustomCommands(CustomCommandTable table);

// bw.preview all's share: each custom command's answer as the player who types it gets
// it, whatever their groups, and the refusal lines its groups and cooldowns may give; to
// `viewer` alone, or described without one.
CommandOutcome PreviewCustomCommands(AShooterPlayerController* viewer);

// "custom commands: 3, aliases: 2", as registered now.
std::string CustomCommandStatusLine();

}  // namespace Bellwright
