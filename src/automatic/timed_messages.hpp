#pragma once

namespace Bellwright {

// One turn of the timed messages: draws a message from the configured list and
// sends it to everyone, or to the players its permission groups let through. A
// turn whose message cannot be read or sent ends silently; the next one comes as
// usual.
void SendTimedMessage();

// The next turn chooses as if none had come before.
void ForgetLastTimedMessage();

}  // namespace Bellwright
