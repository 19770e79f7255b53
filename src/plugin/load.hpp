#pragma once

namespace Bellwright {

// Start-up: logger, configuration, administrative commands, automatic messages,
// custom commands, in that order. Without a configuration nothing after it starts;
// every failure is logged and none leaves into the host.
void Load();

// Shut-down: stops everything Load may have started, in reverse order, whatever it
// reached, so that a later Load begins from a clean state.
void Unload();

}  // namespace Bellwright
