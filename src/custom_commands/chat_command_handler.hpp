#pragma once

#include <cstdint>

#include "custom_commands/custom_command.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// Answers a player who typed a custom chat command: checks the permission groups,
// replies in the configured form, then says the command's chat text in the
// player's name. `message` is the whole chat text; its first word is the command.
void HandleCustomChatCommand(AShooterPlayerController* player, FString* message, bool unused,
                             int unused_number);

// The command's answer to `player` alone, in its configured form, colour, icon and size.
// False when its type sends nothing or the answer cannot be shown.
bool AnswerCustomCommand(AShooterPlayerController* player, const CustomCommand& command);

// The red chat lines that refuse a use: no permission, and a cooldown with `ticks_left`
// (host-clock ticks) still to run.
void SendNoPermissionLine(AShooterPlayerController* player);
void SendCooldownLine(AShooterPlayerController* player, const FString& command_name,
                      std::int64_t ticks_left);

}  // namespace Bellwright
