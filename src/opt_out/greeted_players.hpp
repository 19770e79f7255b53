#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"

// Whether a player about to be greeted was ever greeted on a server sharing the storage,
// for the first-join welcome. The question is asked at the possession and answered in
// the background of the game's own callbacks; the game thread never waits for it.
// Whenever the storage is kept (an opt-out command or a first-join welcome is
// configured), every greeted player is recorded in it.
namespace Bellwright {

// Asks the storage about a player whose greeting was just scheduled, while a first-join
// welcome is configured.
void AskWhetherGreetedBefore(AShooterPlayerController* player);

// The player is greeted now: true when a first-join welcome is configured and the
// storage has answered that they were never greeted. An answer still under way counts
// as greeted before. The player is recorded as greeted whenever the storage is kept.
[[nodiscard]] bool GreetAndTellWhetherFirst(const FString& unique_id);

// Writes the greetings just recorded at once, so that an unload right after the
// greeting does not lose them.
void RecordGreetingsNow();

}  // namespace Bellwright
