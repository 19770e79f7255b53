#include "custom_commands/command_chain.hpp"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "base/log.hpp"
#include "base/text.hpp"

namespace Bellwright {
namespace {

using RunningCommand = std::pair<AShooterPlayerController*, FString>;

// Made on first use: the library's start-up runs before its other static objects
// are constructed.
std::vector<RunningCommand>& RunningCommands() {
  static std::vector<RunningCommand> running;
  return running;
}

std::set<FString, FStringCaseInsensitiveLess>& LoggedTooDeep() {
  static std::set<FString, FStringCaseInsensitiveLess> logged;
  return logged;
}

void LogTooDeep(const FString& command) {
  if (LoggedTooDeep().insert(command).second) {
    Log::Warning(
        "Custom command {} not run: its Command_To_Execute chain runs more than {} commands",
        ToUtf8(command), kLongestCommandChain);
  }
}

}  // namespace

CommandChainEntry::CommandChainEntry(AShooterPlayerController* player, const FString& command) {
  std::vector<RunningCommand>& running = RunningCommands();
  const bool already_running =
      std::any_of(running.begin(), running.end(), [&](const RunningCommand& entry) {
        return entry.first == player && entry.second == command;
      });
  if (already_running) {
    return;
  }
  if (static_cast<int>(running.size()) >= kLongestCommandChain) {
    LogTooDeep(command);
    return;
  }
  running.emplace_back(player, command);
  entered_ = true;
}

CommandChainEntry::~CommandChainEntry() {
  if (entered_) {
    RunningCommands().pop_back();
  }
}

void ResetCommandChainLog() {
  LoggedTooDeep().clear();
}

}  // namespace Bellwright
