#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/game.hpp"

namespace Bellwright {

// One turn of the timed messages: draws a message from the configured list and
// sends it to everyone, or to the players its permission groups let through. A
// turn whose message cannot be read or sent ends silently; the next one comes as
// usual.
void SendTimedMessage();

// The next turn chooses as if none had come before.
void ForgetLastTimedMessage();

// The entry, from 0, that comes after the one chosen last among `count`: the next turn's
// in sequential order. Asking does not advance the order.
int UpcomingTimedMessageIndex(int count);

// Entry `index` to `viewer` alone, as a turn delivers it, whatever the viewer's groups
// and choice. False when it cannot be read or shown.
bool SendTimedMessageTo(int index, AShooterPlayerController* viewer);

// Entry `index` in words: how it is shown and to whom, then its text as configured,
// placeholders unfilled. None when it cannot be read.
std::optional<std::vector<std::string>> DescribeTimedMessage(int index);

}  // namespace Bellwright
