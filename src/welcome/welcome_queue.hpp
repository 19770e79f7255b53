#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"
#include "host/tarray.hpp"

namespace Bellwright {

// After the game has possessed `character`: schedules the player's greeting, unless
// greetings are off, the character is dead or has no owner, or the player has been
// greeted during this connection.
void OnCharacterPossessed(ACharacter* character);

// Forgets the logging-out player, so that their next connection is greeted again.
void OnPlayerLogout(AController* controller);

[[nodiscard]] bool HasPendingWelcomes();

// The ids queued for greeting, in queue order; the queue is left empty.
TArray<FString> TakePendingWelcomes();

}  // namespace Bellwright
