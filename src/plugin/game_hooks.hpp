#pragma once

#include "host/game.hpp"

namespace Bellwright {

// Detours on the game's own functions. Each calls the game's function through the
// pointer the host filled in when the hook was installed.
void Hook_ACharacter_PossessedBy(ACharacter* character, AController* new_controller);
void Hook_AGameState_DefaultTimer(AGameState* game_state);
void Hook_AShooterGameMode_Logout(AShooterGameMode* game_mode, AController* exiting);

}  // namespace Bellwright
