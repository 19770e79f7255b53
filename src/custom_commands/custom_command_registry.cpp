#include "custom_commands/custom_command_registry.hpp"

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
#include "custom_commands/command_cooldowns.hpp"
#include "custom_commands/custom_commands.hpp"
#include "opt_out/opt_out_command.hpp"
#include "host/asa_api.hpp"
#include "host/commands.hpp"
#include "opt_out/player_opt_out.hpp"

namespace Bellwright {
namespace {

using AliasIndex = std::map<FString, FString, FStringCaseInsensitiveLess>;

// The live state, made on first use: the library's start-up runs before its other
// static objects are constructed.
struct LiveCommands {
  CustomCommandTable table;
  AliasIndex aliases;               // alias to the table key it stands for
  std::vector<FString> registered;  // every name held with the host, in registration order
  CommandCooldowns cooldowns;       // kept across reloads for the commands that remain
};

LiveCommands& Live() {
  static LiveCommands live;
  return live;
}

// The opt-out command, unless a command or an alias already has its name.
std::optional<FString> RegistrableOptOutCommand(const LiveCommands& live) {
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
  LiveCommands& live = Live();
  ICommands& commands = AsaApi::GetCommands();
  const auto add = [&](const FString& name, auto handler) {
    commands.AddChatCommand(name, handler);
    live.registered.push_back(name);
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
  LiveCommands& live = Live();
  ICommands& commands = AsaApi::GetCommands();
  for (const FString& name : live.registered) {
    commands.RemoveChatCommand(name);
  }
  live.registered.clear();
  live.aliases.clear();
}

}  // namespace

void StartCustomCommands() {
  InstallCustomCommands(BuildCustomCommandTable(ConfigDocument()));
}

void StopCustomCommands() {
  UnregisterLiveTable();
  Live().table.clear();
  Live().cooldowns.Clear();
  ResetCommandChainLog();
}

void InstallCustomCommands(CustomCommandTable table) {
  UnregisterLiveTable();
  LiveCommands& live = Live();
  live.table = std::move(table);
  live.cooldowns.KeepCommandsWhere(
      [&live](const FString& name) { return live.table.contains(name); });
  ResetCommandChainLog();
  RegisterLiveTable();
}

const CustomCommandTable::value_type* FindCustomCommand(const FString& name) {
  const LiveCommands& live = Live();
  auto found = live.table.find(name);
  if (found == live.table.end()) {
    const auto alias = live.aliases.find(name);
    if (alias == live.aliases.end()) {
      return nullptr;
    }
    found = live.table.find(alias->second);
  }
  return found == live.table.end() ? nullptr : &*found;
}

std::int64_t CooldownTicksLeft(const FString& command, const FString& player, std::int64_t cooldown,
                               std::int64_t now) {
  return Live().cooldowns.TicksLeft(command, player, cooldown, now);
}

void RecordCommandUse(const FString& command, const FString& player, std::int64_t cooldown,
                      std::int64_t now) {
  Live().cooldowns.RecordUse(command, player, cooldown, now);
}

}  // namespace Bellwright
