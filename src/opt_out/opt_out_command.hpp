#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// The command that turns timed messages off and on for the player who types it
// (the timed messages' OptOutCommand); answers with a green chat line. Extra words
// after the command are ignored.
void HandleOptOutCommand(AShooterPlayerController* player, FString* message, bool unused,
                         int unused_number);

}  // namespace Bellwright
