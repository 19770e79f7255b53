#include "custom_commands/chat_command_handler.hpp"

#include <string>

#include "base/text.hpp"
#include "config/config.hpp"
#include "custom_commands/command_chain.hpp"
#include "custom_commands/custom_command_registry.hpp"
#include "delivery/delivery.hpp"
#include "host/permissions.hpp"

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
  MessageStyle style;
  style.color = kRefusalColor;
  style.sender =
      FromUtf8(Settings::ValueOr<std::string>(section, "ClientChatSenderName", "Bellwright"));
  const auto text = Settings::ValueOr<std::string>(document, "NoPermission", kDefaultRefusal);
  Deliver(MessageKind::kChat, FromUtf8(text), style, Recipient::Player(player));
}

void Answer(AShooterPlayerController* player, const CustomCommand& command) {
  const auto kind = MessageKindFromTypeName(command.Type);
  if (!kind) {
    return;
  }
  MessageStyle style;
  style.color = command.MessageColor;
  style.sender = command.Sender;
  style.display_time = command.DisplayTime;
  style.display_scale = command.DisplayScale;
  if (*kind == MessageKind::kNotification) {
    // Resolved also when empty: the game decides what an empty path gives.
    style.icon = ResolveIcon(command.Icon_BP);
  }
  Deliver(*kind, command.Message, style, Recipient::Player(player));
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
