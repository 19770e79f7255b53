#pragma once

#include "base/command_outcome.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// The command that turns timed messages off and on for the player who types it
// (the timed messages' OptOutCommand); answers with a green chat line. Extra words
// after the command are ignored.
void HandleOptOutCommand(AShooterPlayerController* player, FString* message, bool unused,
                         int unused_number);

// bw.preview all's share: both answers of the opt-out command, to `viewer` alone, or
// described without one; nothing while no opt-out command is configured.
CommandOutcome PreviewOptOutAnswers(AShooterPlayerController* viewer);

}  // namespace Bellwright
