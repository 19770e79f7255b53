#include "custom_commands/custom_command_table.hpp"

#include <exception>
#include <set>
#include <utility>

#include "base/text.hpp"

namespace Bellwright {
namespace {

// First occurrences in their order; later names equal ignoring case are dropped. A
// set keeps this O(n log n): a long list in the file must not stall the game thread.
TArray<FString> DistinctGroups(const std::vector<std::string>& names) {
  TArray<FString> groups;
  std::set<FString, FStringCaseInsensitiveLess> seen;
  for (const std::string& name : names) {
    FString group = FromUtf8(name);
    if (seen.insert(group).second) {
      groups.Add(std::move(group));
    }
  }
  return groups;
}

CustomCommand CommandOf(const ConfiguredCommand& configured) {
  CustomCommand command;
  command.Message = FromUtf8(configured.message);
  command.Type = configured.type;
  command.Sender = FromUtf8(configured.sender);
  command.MessageColor = configured.colour;
  command.RequiredPermissionGroups = DistinctGroups(configured.required_groups);
  command.DisplayTime = configured.display_time;
  command.DisplayScale = configured.display_scale;
  command.Icon_BP = FromUtf8(configured.icon);
  command.Command_To_Execute = FromUtf8(configured.command_to_execute);
  for (const std::string& alias : configured.aliases) {
    command.Aliases.push_back(FromUtf8(alias));
  }
  command.CooldownTicks = configured.cooldown_ticks;
  return command;
}

}  // namespace

CustomCommandTable BuildCustomCommandTable(const CustomCommandSettings& settings) {
  if (settings.unreadable) {
    std::rethrow_exception(settings.unreadable);
  }
  CustomCommandTable table;
  for (const ConfiguredCommand& configured : settings.commands) {
    table[FromUtf8(configured.name)] = CommandOf(configured);
  }
  return table;
}

}  // namespace Bellwright
