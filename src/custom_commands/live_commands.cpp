#include "custom_commands/live_commands.hpp"

#include <fmt/format.h>

#include "custom_commands/custom_commands.hpp"

namespace Bellwright {

LiveCustomCommands& LiveCommands() {
  static LiveCustomCommands live;
  return live;
}

const CustomCommandTable::value_type* FindCustomCommand(const FString& name) {
  const LiveCustomCommands& live = LiveCommands();
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
  return LiveCommands().cooldowns.TicksLeft(command, player, cooldown, now);
}

void RecordCommandUse(const FString& command, const FString& player, std::int64_t cooldown,
                      std::int64_t now) {
  LiveCommands().cooldowns.RecordUse(command, player, cooldown, now);
}

std::string CustomCommandStatusLine() {
  const LiveCustomCommands& live = LiveCommands();
  return fmt::format("custom commands: {}, aliases: {}", live.table.size(), live.aliases.size());
}

}  // namespace Bellwright
