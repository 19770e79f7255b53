#include "custom_commands/command_chain.hpp"

#include <algorithm>
#include <utility>
#include <vector>

namespace Bellwright {
namespace {

using RunningCommand = std::pair<AShooterPlayerController*, FString>;

std::vector<RunningCommand>& RunningCommands() {
  static std::vector<RunningCommand> running;
  return running;
}

}  // namespace

CommandChainEntry::CommandChainEntry(AShooterPlayerController* player, const FString& command) {
  std::vector<RunningCommand>& running = RunningCommands();
  const bool already_running =
      std::any_of(running.begin(), running.end(), [&](const RunningCommand& entry) {
        return entry.first == player && entry.second == command;
      });
  if (!already_running) {
    running.emplace_back(player, command);
    entered_ = true;
  }
}

CommandChainEntry::~CommandChainEntry() {
  if (entered_) {
    RunningCommands().pop_back();
  }
}

}  // namespace Bellwright
