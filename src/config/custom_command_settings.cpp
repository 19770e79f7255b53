#include "config/custom_command_settings.hpp"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "base/clock_ticks.hpp"
#include "base/text.hpp"
#include "config/settings.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

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

// The new keys read leniently: a value of the wrong type gives no aliases, an element
// that is not a string is skipped.
std::vector<FString> ReadAliases(const nlohmann::json& value) {
  std::vector<FString> aliases;
  const auto list = value.find("Aliases");
  if (list == value.end() || !list->is_array()) {
    return aliases;
  }
  for (const nlohmann::json& alias : *list) {
    if (alias.is_string()) {
      aliases.push_back(FromUtf8(alias.get<std::string>()));
    }
  }
  return aliases;
}

}  // namespace

std::int64_t CooldownTicksFromSeconds(double seconds) {
  // NaN fails the comparison and counts as no cooldown too.
  if (!(seconds > 0.0)) {
    return 0;
  }
  return static_cast<std::int64_t>(std::min(seconds, kLongestConfiguredSeconds) *
                                   static_cast<double>(kClockTicksPerSecond));
}

ByteColor MessageColorFromNumbers(const std::vector<float>& numbers) {
  if (numbers.size() < 3) {
    return MakeByteColor(0, 0, 0);
  }
  const auto component = [&numbers](std::size_t index) {
    return Settings::ColorComponentFromNumber(static_cast<double>(numbers[index]));
  };
  return MakeByteColor(component(0), component(1), component(2));
}

std::optional<CustomCommand> ReadCustomCommand(const nlohmann::json& value) {
  CustomCommand command;
  command.Message = FromUtf8(value.value("Message", std::string()));
  if (command.Message.IsEmpty()) {
    return std::nullopt;
  }
  const nlohmann::json empty_array = nlohmann::json::array();
  command.MessageColor = MessageColorFromNumbers(
      Settings::MemberOr(value, "MessageColor", empty_array).get<std::vector<float>>());
  command.RequiredPermissionGroups =
      DistinctGroups(Settings::MemberOr(value, "RequiredPermissionGroups", empty_array)
                         .get<std::vector<std::string>>());
  command.DisplayTime = value.value("DisplayTime", 0.0F);
  command.DisplayScale = value.value("DisplayScale", 0.0F);
  command.Type = value.value("Type", std::string("Chat"));
  command.Sender = FromUtf8(value.value("Sender", std::string()));
  command.Icon_BP = FromUtf8(value.value("Icon_BP", std::string()));
  command.Command_To_Execute = FromUtf8(value.value("Command_To_Execute", std::string()));
  command.Aliases = ReadAliases(value);
  const auto cooldown = value.find("CooldownSeconds");
  if (cooldown != value.end() && cooldown->is_number()) {
    command.CooldownTicks = CooldownTicksFromSeconds(cooldown->get<double>());
  }
  return command;
}

std::vector<NamedCustomCommand> ReadCustomCommands(const json& document) {
  std::vector<NamedCustomCommand> commands;
  const json no_commands = json::object();
  const json& section = Settings::MemberOr(document, "CustomCommands", no_commands);
  // An absent or null section, or an empty one of either kind, holds no commands.
  if (section.is_null() || section.empty()) {
    return commands;
  }
  // Member names need an object: any other kind of section throws at its first
  // element (key() of a non-object iterator).
  for (auto member = section.begin(); member != section.end(); ++member) {
    const std::string& name = member.key();
    if (auto command = ReadCustomCommand(member.value())) {
      commands.push_back({FromUtf8(name), std::move(*command)});
    }
  }
  return commands;
}

}  // namespace Bellwright
