#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// bw.chatasplayer player-id chat-mode "text": the player says the text through the
// game's own chat entry point, with the chat mode handed to the game unchanged.
void ConsoleChatAsPlayer(APlayerController* caller, FString* command_line, bool unused);
void RconChatAsPlayer(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);

}  // namespace Bellwright
