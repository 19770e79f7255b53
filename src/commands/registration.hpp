#pragma once

namespace Bellwright {

// The ten administrative commands: the console and the RCON form of bw.sendserver,
// bw.sendchat, bw.sendnotification, bw.reload and bw.chatasplayer, each handler
// behind the host-boundary guard. Removal takes them away in the order they were
// added, and is harmless for commands that were never added.
void RegisterAdministrativeCommands();
void RemoveAdministrativeCommands();

}  // namespace Bellwright
