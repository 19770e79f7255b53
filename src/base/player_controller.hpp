#pragma once

#include "host/game.hpp"

namespace Bellwright {

// The controller as the player's controller it is, or null for any other controller
// (a creature's AI, for one). In this game every player's controller is an
// AShooterPlayerController, so the check makes the cast sound.
inline AShooterPlayerController* AsPlayerController(AController* controller) {
  if (controller == nullptr || !controller->IsPlayerController()) return nullptr;
  return static_cast<AShooterPlayerController*>(controller);
}

}  // namespace Bellwright
