#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// What bw.reload runs: true when the new configuration is in use. The plug-in's
// start-up, which knows every owner a reload reconfigures, hands it in.
using ReloadFunction = bool (*)();
void UseReloadFunction(ReloadFunction reload);

// bw.reload: the replies are never withheld, whatever the hide rule says.
void ConsoleReload(APlayerController* caller, FString* command_line, bool unused);
void RconReload(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);

}  // namespace Bellwright
