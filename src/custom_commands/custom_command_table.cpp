#include "custom_commands/custom_command_table.hpp"

#include <cmath>
#include <string>

#include "config/settings.hpp"
#include "delivery/utf8.hpp"

namespace Bellwright {
namespace {

// A number outside the 32-bit range has no truncated value; it counts as 0 rather
// than letting the conversion run into undefined behaviour.
int TruncatedComponent(float number) {
  constexpr float kLowest = -2147483648.0F;
  constexpr float kPastHighest = 2147483648.0F;
  if (!std::isfinite(number) || number < kLowest || number >= kPastHighest) {
    return 0;
  }
  return static_cast<int>(number);
}

TArray<FString> DistinctGroups(const std::vector<std::string>& names) {
  TArray<FString> groups;
  for (const std::string& name : names) {
    groups.AddUnique(FString(std::string_view(name)));
  }
  return groups;
}

}  // namespace

ByteColor MessageColorFromNumbers(const std::vector<float>& numbers) {
  if (numbers.size() < 3) {
    return MakeByteColor(0, 0, 0);
  }
  return MakeByteColor(TruncatedComponent(numbers[0]), TruncatedComponent(numbers[1]),
                       TruncatedComponent(numbers[2]));
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
  command.Icon_BP = FString(std::string_view(value.value("Icon_BP", std::string())));
  command.Command_To_Execute =
      FString(std::string_view(value.value("Command_To_Execute", std::string())));
  return command;
}

CustomCommandTable BuildCustomCommandTable(const nlohmann::json& document) {
  CustomCommandTable table;
  const nlohmann::json no_commands = nlohmann::json::object();
  const nlohmann::json& section = Settings::MemberOr(document, "CustomCommands", no_commands);
  // An absent or null section, or an empty one of either kind, holds no commands.
  if (section.is_null() || section.empty()) {
    return table;
  }
  // Member names need an object: any other kind of section throws at its first
  // element (key() of a non-object iterator).
  for (auto member = section.begin(); member != section.end(); ++member) {
    const std::string& name = member.key();
    if (auto command = ReadCustomCommand(member.value())) {
      table[FString(std::string_view(name))] = std::move(*command);
    }
  }
  return table;
}

}  // namespace Bellwright
