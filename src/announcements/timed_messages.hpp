#pragma once

namespace Bellwright {

// Whole seconds until the next turn of the timed messages; 0 when it comes at the next
// tick.
long long SecondsToNextTimedMessage();

// The index of the timed message chosen last, -1 before the first.
int LastChosenTimedMessage();

}  // namespace Bellwright
