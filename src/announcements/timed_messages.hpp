#pragma once

namespace Bellwright {

// Called on every game-state timer tick: sends a timed message when timed messages
// are on and the next one is due, then sets the following due time. A paused turn
// ("timed") comes and goes as usual, sending nothing and choosing no entry.
void SendTimedMessageIfDue();

// Whole seconds until the next turn; 0 when it comes at the next tick.
long long SecondsToNextTimedMessage();

}  // namespace Bellwright
