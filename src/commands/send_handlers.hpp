#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// bw.sendchat target sender "message" [red green blue]
// bw.sendserver target "message" [red green blue]
// bw.sendnotification target "message" [scale time red green blue] [icon]
// The target "0" is everyone; any other text is a player's unique net id.

void ConsoleSendChat(APlayerController* caller, FString* command_line, bool unused);
void ConsoleSendServer(APlayerController* caller, FString* command_line, bool unused);
void ConsoleSendNotification(APlayerController* caller, FString* command_line, bool unused);

void RconSendChat(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);
void RconSendServer(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);
void RconSendNotification(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);

}  // namespace Bellwright
