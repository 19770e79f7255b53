#pragma once

#include "commands/reload.hpp"

// The administrators' commands: the console and the RCON form of bw.sendserver,
// bw.sendchat, bw.sendnotification, bw.reload and bw.chatasplayer.
namespace Bellwright {

// Registers the ten handlers, each behind the host-boundary guard; bw.reload runs
// `reload`.
void RegisterAdministrativeCommands(ReloadFunction reload);

// Removes them in the order they were added; harmless for commands never added.
void RemoveAdministrativeCommands();

}  // namespace Bellwright
