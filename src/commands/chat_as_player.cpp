#include "commands/chat_as_player.hpp"

#include <exception>
#include <optional>

#include "commands/command_line.hpp"
#include "commands/numbers.hpp"
#include "commands/reply.hpp"
#include "delivery/world_players.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {
namespace {

constexpr const char* kChatted = "BW: Successfully chatted as player";
constexpr const char* kChatFailed = "BW: There was an error, (player offline?)";

using FindPlayer = AShooterPlayerController* (*)(const FString& unique_net_id);

AShooterPlayerController* FindWithApiUtils(const FString& unique_net_id) {
  return AsaApi::GetApiUtils().FindPlayerFromUniqueNetId(unique_net_id);
}

// The RCON form walks the world's controller list itself; ids compare ignoring case.
AShooterPlayerController* FindInControllerList(const FString& unique_net_id) {
  AShooterPlayerController* found = nullptr;
  ForEachConnectedPlayer(GameWorld(), [&](AShooterPlayerController* controller) {
    if (found == nullptr && controller->GetUniqueNetIdAsString() == unique_net_id) {
      found = controller;
    }
  });
  return found;
}

// True when the player was made to chat. The game call is the only thing left that
// may throw.
bool ChatAsPlayer(const FString& command_line, FindPlayer find_player) {
  try {
    const CommandLine line(command_line);
    if (line.TokenCount() <= 2) {
      return false;
    }
    const std::optional<int> chat_mode = TextToInt(line.Token(2));
    if (!chat_mode) {
      return false;
    }
    AShooterPlayerController* player = find_player(line.Token(1));
    if (player == nullptr || line.QuotePieceCount() < 2) {
      return false;
    }
    FString text = line.Message();
    player->ServerSendChatMessage_Implementation(text, static_cast<EChatSendMode::Type>(*chat_mode),
                                                 1);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void ConsoleChatAsPlayer(APlayerController* caller, FString* command_line, bool /*unused*/) {
  if (caller == nullptr || command_line == nullptr) {
    return;
  }
  const bool chatted = ChatAsPlayer(*command_line, &FindWithApiUtils);
  ReplyUnlessHidden(caller, chatted ? kReplyGreen : kReplyRed,
                    FString(chatted ? kChatted : kChatFailed));
}

void RconChatAsPlayer(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*unused*/) {
  if (connection == nullptr || packet == nullptr) {
    return;
  }
  const bool chatted = ChatAsPlayer(packet->Body, &FindInControllerList);
  ReplyOverRcon(connection, packet, FString(chatted ? kChatted : kChatFailed));
}

}  // namespace Bellwright
