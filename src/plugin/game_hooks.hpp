#pragma once

#include "host/game.hpp"

namespace Bellwright {

// Routes the game's possess, game-state timer and logout functions to the detours;
// RemoveHooks takes them away in the same order.
void InstallHooks();
void RemoveHooks();

// Detours on the game's own functions: the one place the game's events reach the
// owners. Each calls the game's function through the
// pointer the host filled in when the hook was installed.
void Hook_ACharacter_PossessedBy(ACharacter* character, AController* new_controller);
void Hook_AGameState_DefaultTimer(AGameState* game_state);
void Hook_AShooterGameMode_Logout(AShooterGameMode* game_mode, AController* exiting);

}  // namespace Bellwright
