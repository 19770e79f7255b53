#pragma once

namespace Bellwright {

// Start-up: logger, configuration, administrative commands, hooks, custom commands,
// in that order. A failure stops it where it happened and is logged; it never
// leaves into the host.
void Load();

// Shut-down: removes everything Load may have registered, whatever it reached.
void Unload();

}  // namespace Bellwright
