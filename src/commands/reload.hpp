#pragma once

#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// Reads the configuration file and rebuilds the custom chat commands from it, all
// or nothing: when the file cannot be read or its custom commands cannot be built,
// the configuration and the registered commands stay exactly as they were.
bool ReloadConfiguration();

// bw.reload: the replies are never withheld, whatever the hide rule says.
void ConsoleReload(APlayerController* caller, FString* command_line, bool unused);
void RconReload(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);

}  // namespace Bellwright
