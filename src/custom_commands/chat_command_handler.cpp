#include "custom_commands/chat_command_handler.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/placeholders.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "custom_commands/command_chain.hpp"
#include "custom_commands/command_cooldowns.hpp"
#include "custom_commands/live_commands.hpp"
#include "delivery/delivery.hpp"
#include "host/permissions.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

constexpr ByteColor kRefusalColor = MakeByteColor(255, 0, 0);
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
void SendRefusalLine(AShooterPlayerController* player, const FString& text) {
  MessageStyle style;
  style.color = kRefusalColor;
  style.sender = FromUtf8(LiveSettings().general.chat_sender);
  Deliver(MessageKind::kChat, text, style, Recipient::Player(player));
}

// Past a cooldown that is still running: false, and the player has been told how long
// to wait. Otherwise the use is recorded and starts the cooldown anew.
bool CooldownAllows(AShooterPlayerController* player, const FString& command_name,
                    const CustomCommand& command) {
  if (command.CooldownTicks <= 0) {
    return true;
  }
  const FString unique_net_id = player->GetUniqueNetIdAsString();
  // A cooldown is a duration: the calendar clock set forward must not end it early.
  const std::int64_t now = AsaApi::Tools::GetSteadyClockTicks();
  const std::int64_t ticks_left =
      CooldownTicksLeft(command_name, unique_net_id, command.CooldownTicks, now);
  if (ticks_left > 0) {
    SendCooldownLine(player, command_name, ticks_left);
    return false;
  }
  RecordCommandUse(command_name, unique_net_id, command.CooldownTicks, now);
  return true;
}

void SayCommandText(AShooterPlayerController* player, const CustomCommand& command) {
  if (command.Command_To_Execute.IsEmpty()) {
    return;
  }
  player->LastChatMessageTimeField() -= kChatTimeAllowance;
  FString text = command.Command_To_Execute;
  player->ServerSendChatMessage_Implementation(text, EChatSendMode::GlobalChat, 1);
}

// The first blank-separated word of a chat line, found without looking past it: a
// player may follow a command with a line of any length.
FString FirstWord(const FString& line) {
  const std::u16string_view units = line.Wide();
  const std::size_t begin = units.find_first_not_of(u' ');
  if (begin == std::u16string_view::npos) {
    return {};
  }
  return FString(std::u16string(units.substr(begin, units.find(u' ', begin) - begin)));
}

}  // namespace

void SendNoPermissionLine(AShooterPlayerController* player) {
  SendRefusalLine(player, FromUtf8(LiveSettings().custom_commands.no_permission_line));
}

void SendCooldownLine(AShooterPlayerController* player, const FString& command_name,
                      std::int64_t ticks_left) {
  static constexpr std::u16string_view kFieldNames[] = {u"Seconds", u"Command"};
  const FString line = FromUtf8(LiveSettings().custom_commands.cooldown_line);
  const PlaceholderText text(line, kFieldNames);
  const std::u16string seconds = DecimalText(WholeSecondsUp(ticks_left));
  const std::array<std::u16string_view, 2> values{seconds, command_name.Wide()};
  SendRefusalLine(player, text.Fill(values));
}

bool AnswerCustomCommand(AShooterPlayerController* player, const CustomCommand& command) {
  const auto kind = MessageKindFromTypeName(command.Type);
  if (!kind) {
    return false;
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
  PlayerText text(command.Message, *kind);
  return Deliver(*kind, text.For(player), style, Recipient::Player(player));
}

void HandleCustomChatCommand(AShooterPlayerController* player, FString* message, bool /*unused*/,
                             int /*unused_number*/) {
  if (player == nullptr || message == nullptr) {
    return;
  }
  const FString word = FirstWord(*message);
  if (word.IsEmpty()) {
    return;
  }
  const auto* found = FindCustomCommand(word);
  if (found == nullptr) {
    return;
  }
  // The chat text said last may reach code that changes the table: the record is
  // copied, and the name is not used once that text is said. An alias runs as its
  // command, in chains and cooldowns alike.
  const FString& command_name = found->first;
  const CustomCommand command = found->second;
  const CommandChainEntry chain_entry(player, command_name);
  if (!chain_entry.Entered()) {
    return;
  }
  if (!MayUse(player, command)) {
    SendNoPermissionLine(player);
    return;
  }
  if (!CooldownAllows(player, command_name, command)) {
    return;
  }
  AnswerCustomCommand(player, command);
  SayCommandText(player, command);
}

}  // namespace Bellwright
