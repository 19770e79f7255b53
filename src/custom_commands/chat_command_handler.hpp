#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// Answers a player who typed a custom chat command: checks the permission groups,
// replies in the configured form, then says the command's chat text in the
// player's name. `message` is the whole chat text; its first word is the command.
void HandleCustomChatCommand(AShooterPlayerController* player, FString* message, bool unused,
                             int unused_number);

}  // namespace Bellwright
