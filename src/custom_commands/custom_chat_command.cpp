#include "custom_commands/custom_chat_command.hpp"

#include <string>

#include "config/config.hpp"
#include "config/settings.hpp"
#include "custom_commands/command_chain.hpp"
#include "custom_commands/custom_command_registry.hpp"
#include "delivery/delivery.hpp"
#include "delivery/utf8.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {
namespace {

constexpr ByteColor kRefusalColor = MakeByteColor(255, 0, 0);
constexpr const char* kDefaultRefusal = "You don't have permission to perform this command";
// Lets the command's own chat text past the game's spam rule, which would otherwise
// drop it for following the player's command too closely.
constexpr double kChatTimeAllowance = 2.0;

bool MayUse(AShooterPlayerController* player, const CustomCommand& command) {
  const TArray<FString>& groups = command.RequiredPermissionGroups;
  if (groups.IsEmpty() || groups.Contains(FString("Default"))) {
    return true;
  }
  const FString unique_net_id = player->GetUniqueNetIdAsString();
  for (const FString& group : groups) {
    if (Permissions::IsPlayerInGroup(unique_net_id, group)) {
      return true;
    }
  }
  return false;
}

// A refusal line is always sent: a setting of the wrong type gives its default.
void Refuse(AShooterPlayerController* player) {
  const nlohmann::json& document = ConfigDocument();
  const nlohmann::json& section = Settings::SectionOrEmpty(document, "Bellwright");
  const auto sender = Settings::ValueOr<std::string>(section, "ClientChatSenderName", "Bellwright");
  const auto text = Settings::ValueOr<std::string>(document, "NoPermission", kDefaultRefusal);
  DeliverChatMessage(player, FromUtf8(text), FString(std::string_view(sender)), kRefusalColor,
                     false);
}

void Answer(AShooterPlayerController* player, const CustomCommand& command) {
  if (command.Type == "Chat" || command.Type == "Client") {
    DeliverChatMessage(player, command.Message, command.Sender, command.MessageColor, false);
  } else if (command.Type == "Server") {
    DeliverServerMessage(player, command.Message, command.MessageColor, false);
  } else if (command.Type == "Notification") {
    UObject* icon = ResolveIcon(command.Icon_BP);
    DeliverNotification(player, command.Message, command.MessageColor, command.DisplayTime,
                        command.DisplayScale, icon, false);
  }
}

void SayCommandText(AShooterPlayerController* player, const CustomCommand& command) {
  if (command.Command_To_Execute.IsEmpty()) {
    return;
  }
  player->LastChatMessageTimeField() -= kChatTimeAllowance;
  FString text = command.Command_To_Execute;
  player->ServerSendChatMessage_Implementation(text, EChatSendMode::GlobalChat, 1);
}

}  // namespace

void HandleCustomChatCommand(AShooterPlayerController* player, FString* message, bool /*unused*/,
                             int /*unused_number*/) {
  if (player == nullptr || message == nullptr) {
    return;
  }
  TArray<FString> words;
  if (message->ParseIntoArray(words, u" ", true) == 0) {
    return;
  }
  const CustomCommand* found = FindCustomCommand(words[0]);
  if (found == nullptr) {
    return;
  }
  // A copy: the chat text said below may reach code that changes the table.
  const CustomCommand command = *found;
  const CommandChainEntry chain_entry(player, words[0]);
  if (!chain_entry.Entered()) {
    return;
  }
  if (!MayUse(player, command)) {
    Refuse(player);
    return;
  }
  Answer(player, command);
  SayCommandText(player, command);
}

}  // namespace Bellwright
