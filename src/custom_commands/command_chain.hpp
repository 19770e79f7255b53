#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// The custom commands running right now, innermost last. A command's chat text can
// run another custom command inside the first one's call; a chain that comes back
// to a command still running for the same player would never end, so that command
// is not entered again.
class CommandChainEntry {
 public:
  CommandChainEntry(AShooterPlayerController* player, const FString& command);
  ~CommandChainEntry();
  CommandChainEntry(const CommandChainEntry&) = delete;
  CommandChainEntry& operator=(const CommandChainEntry&) = delete;

  // False when the command was already running for this player: nothing was entered.
  [[nodiscard]] bool Entered() const { return entered_; }

 private:
  bool entered_ = false;
};

}  // namespace Bellwright
