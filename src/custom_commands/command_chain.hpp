#pragma once

#include "base/command_limits.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// The custom commands running right now, innermost last. A command is not entered
// when it is already running for the same player (the chain would never end) or when
// the chain already holds kLongestCommandChain commands (the stack would give out);
// the second is logged once per command until the table is next replaced.
class CommandChainEntry {
 public:
  CommandChainEntry(AShooterPlayerController* player, const FString& command);
  ~CommandChainEntry();
  CommandChainEntry(const CommandChainEntry&) = delete;
  CommandChainEntry& operator=(const CommandChainEntry&) = delete;

  // False when the command was not entered.
  [[nodiscard]] bool Entered() const { return entered_; }

 private:
  bool entered_ = false;
};

// Forgets which commands were logged as past the chain's end.
void ResetCommandChainLog();

}  // namespace Bellwright
