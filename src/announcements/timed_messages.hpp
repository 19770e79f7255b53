#pragma once

namespace Bellwright {

// Whole seconds until the next turn of the timed messages; 0 when it comes at the next
// tick.
long long SecondsToNextTimedMessage();

}  // namespace Bellwright
