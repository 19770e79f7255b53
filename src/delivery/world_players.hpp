#pragma once

#include "host/game.hpp"

namespace Bellwright {

// The game's world as the host knows it; null before the game has one.
UWorld* GameWorld();

// Every entry of the world's player-controller list in list order, as a player
// controller: null for an entry that no longer resolves (a player who has left).
// Nothing for a null world.
template <typename Visit>
void ForEachListedController(UWorld* world, Visit&& visit) {
  if (world == nullptr) {
    return;
  }
  for (const auto& entry : world->PlayerControllerListField()) {
    visit(static_cast<AShooterPlayerController*>(entry.Get()));
  }
}

// The entries that still resolve: every connected player, in list order.
template <typename Visit>
void ForEachConnectedPlayer(UWorld* world, Visit&& visit) {
  ForEachListedController(world, [&visit](AShooterPlayerController* player) {
    if (player != nullptr) {
      visit(player);
    }
  });
}

}  // namespace Bellwright
