#pragma once

#include "base/command_outcome.hpp"

namespace Bellwright {

// Start-up: logger, configuration, administrative commands, automatic messages,
// custom commands, in that order. Without a configuration nothing after it starts;
// every failure is logged and none leaves into the host.
void Load();

// Shut-down: stops everything Load may have started, in reverse order, whatever it
// reached, so that a later Load begins from a clean state.
void Unload();

// bw.reload: reads the configuration file and reconfigures, in start-up order, the
// owners that follow it (the configuration, the opt-out, the custom commands and
// their aliases), all or nothing: when the file cannot be read or its custom commands
// cannot be built, everything stays exactly as it was. Succeeded when the new file is
// in use; the lines count and list the new file's findings, or say why it was refused.
CommandOutcome ReloadConfiguration();

}  // namespace Bellwright
