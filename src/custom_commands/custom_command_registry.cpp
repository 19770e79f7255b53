#include "custom_commands/custom_command_registry.hpp"

#include <utility>

#include "config/config.hpp"
#include "custom_commands/custom_chat_command.hpp"
#include "host/asa_api.hpp"
#include "plugin/host_boundary.hpp"

namespace Bellwright {
namespace {

// Created on first use, so that it exists before the library's start-up runs Load.
CustomCommandTable& LiveTable() {
  static CustomCommandTable table;
  return table;
}

}  // namespace

void LoadCustomCommands() {
  InstallCustomCommands(BuildCustomCommandTable(ConfigDocument()));
}

void InstallCustomCommands(CustomCommandTable table) {
  CustomCommandTable& live = LiveTable();
  live = std::move(table);
  ICommands& commands = AsaApi::GetCommands();
  for (const auto& entry : live) {
    commands.AddChatCommand(entry.first, &Guarded<HandleCustomChatCommand>::Call);
  }
}

void UnregisterCustomCommands() {
  ICommands& commands = AsaApi::GetCommands();
  for (const auto& entry : LiveTable()) {
    commands.RemoveChatCommand(entry.first);
  }
}

const CustomCommand* FindCustomCommand(const FString& name) {
  const CustomCommandTable& live = LiveTable();
  const auto found = live.find(name);
  return found == live.end() ? nullptr : &found->second;
}

}  // namespace Bellwright
