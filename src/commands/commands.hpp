#pragma once

#include "commands/reload.hpp"
#include "commands/steering_commands.hpp"

// The administrators' commands: the console and the RCON form of bw.sendserver,
// bw.sendchat, bw.sendnotification, bw.reload, bw.chatasplayer, bw.status,
// bw.next, bw.preview, bw.pause, bw.resume, bw.skip and bw.countdown.
namespace Bellwright {

// Registers the twenty-four handlers, each behind the host-boundary guard; bw.reload runs
// `reload`, the commands that see and steer the plug-in run `steering`.
void RegisterAdministrativeCommands(ReloadFunction reload, const SteeringWork& steering);

// Removes them in the order they were added; harmless for commands never added.
void RemoveAdministrativeCommands();

}  // namespace Bellwright
