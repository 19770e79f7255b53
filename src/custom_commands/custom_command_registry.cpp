#include "custom_commands/custom_command_registry.hpp"

#include <utility>

#include "base/host_boundary.hpp"
#include "config/config.hpp"
#include "custom_commands/chat_command_handler.hpp"
#include "custom_commands/command_chain.hpp"
#include "custom_commands/custom_commands.hpp"
#include "host/asa_api.hpp"
#include "host/commands.hpp"

namespace Bellwright {
namespace {

// Made on first use: the library's start-up runs before its other static objects
// are constructed.
CustomCommandTable& LiveTable() {
  static CustomCommandTable table;
  return table;
}

void RegisterLiveTable() {
  ICommands& commands = AsaApi::GetCommands();
  for (const auto& entry : LiveTable()) {
    commands.AddChatCommand(entry.first, &Guarded<HandleCustomChatCommand>::Call);
  }
}

void UnregisterLiveTable() {
  ICommands& commands = AsaApi::GetCommands();
  for (const auto& entry : LiveTable()) {
    commands.RemoveChatCommand(entry.first);
  }
}

}  // namespace

void StartCustomCommands() {
  InstallCustomCommands(BuildCustomCommandTable(ConfigDocument()));
}

void StopCustomCommands() {
  UnregisterLiveTable();
  LiveTable().clear();
  ResetCommandChainLog();
}

void InstallCustomCommands(CustomCommandTable table) {
  UnregisterLiveTable();
  LiveTable() = std::move(table);
  ResetCommandChainLog();
  RegisterLiveTable();
}

const CustomCommand* FindCustomCommand(const FString& name) {
  const CustomCommandTable& live = LiveTable();
  const auto found = live.find(name);
  return found == live.end() ? nullptr : &found->second;
}

}  // namespace Bellwright
