#pragma once

namespace Bellwright {

// Called on every game-state timer tick: sends a timed message when timed messages
// are on and the next one is due, then sets the following due time.
void SendTimedMessageIfDue();

}  // namespace Bellwright
