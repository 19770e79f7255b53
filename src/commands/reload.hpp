#pragma once

#include "base/command_outcome.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// What bw.reload runs: succeeded when the new configuration is in use; its lines say
// what the checks found in the new file, or why it was refused (none for a clean
// file). The plug-in's start-up, which knows every owner a reload reconfigures,
// hands it in.
using ReloadFunction = CommandOutcome (*)();
void UseReloadFunction(ReloadFunction reload);

// bw.reload: "Reloaded config" or "Failed to reload config", then the lines of the
// outcome. The replies are never withheld, whatever the hide rule says.
void ConsoleReload(APlayerController* caller, FString* command_line, bool unused);
void RconReload(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);

}  // namespace Bellwright
