#include <optional>
#include <utility>
#include <vector>

#include "base/host_boundary.hpp"
#include "base/log.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "custom_commands/chat_command_handler.hpp"
#include "custom_commands/command_aliases.hpp"
#include "custom_commands/command_chain.hpp"
#include "custom_commands/custom_commands.hpp"
#include "custom_commands/live_commands.hpp"
#include "host/asa_api.hpp"
#include "host/commands.hpp"
#include "opt_out/opt_out_command.hpp"
#include "opt_out/player_opt_out.hpp"

namespace Bellwright {
namespace {

// Every name held with the host, in registration order.
std::vector<FString>& RegisteredNames() {
  static std::vector<FString> names;
  return names;
}

// The opt-out command, unless a command or an alias already has its name.
std::optional<FString> RegistrableOptOutCommand(const LiveCustomCommands& live) {
  std::optional<FString> command = ConfiguredOptOutCommand();
  if (command && (live.table.contains(*command) || live.aliases.contains(*command))) {
    Log::Warning(
        "Opt-out command {} not registered: a custom command or alias already has the name",
        ToUtf8(*command));
    return std::nullopt;
  }
  return command;
}

// The one place names reach the host, in this order: every command in the table's
// order, then the aliases (see RegistrableAliases), then the opt-out command.
void RegisterLiveTable() {
  LiveCustomCommands& live = LiveCommands();
  ICommands& commands = AsaApi::GetCommands();
  const auto add = [&](const FString& name, auto handler) {
    commands.AddChatCommand(name, handler);
    RegisteredNames().push_back(name);
  };
  for (const auto& entry : live.table) {
    add(entry.first, &Guarded<HandleCustomChatCommand>::Call);
  }
  for (CommandAlias& alias : RegistrableAliases(live.table)) {
    add(alias.alias, &Guarded<HandleCustomChatCommand>::Call);
    live.aliases.emplace(std::move(alias.alias), std::move(alias.command));
  }
  if (const std::optional<FString> opt_out = RegistrableOptOutCommand(live)) {
    add(*opt_out, &Guarded<HandleOptOutCommand>::Call);
  }
}

void UnregisterLiveTable() {
  ICommands& commands = AsaApi::GetCommands();
  for (const FString& name : RegisteredNames()) {
    commands.RemoveChatCommand(name);
  }
  RegisteredNames().clear();
  LiveCommands().aliases.clear();
}

}  // namespace

void StartCustomCommands() {
  InstallCustomCommands(BuildCustomCommandTable(LiveSettings().custom_commands));
}

void StopCustomCommands() {
  UnregisterLiveTable();
  LiveCommands().table.clear();
  LiveCommands().cooldowns.Clear();
  ResetCommandChainLog();
}

void InstallCustomCommands(CustomCommandTable table) {
  UnregisterLiveTable();
  LiveCustomCommands& live = LiveCommands();
  live.table = std::move(table);
  live.cooldowns.KeepCommandsWhere(
      [&live](const FString& name) { return live.table.contains(name); });
  ResetCommandChainLog();
  RegisterLiveTable();
}

}  // namespace Bellwright
