#pragma once

#include <string>
#include <vector>

#include "host/game.hpp"

namespace Bellwright {

// The welcome pass: greets every player queued since the last pass, each once, and
// empties the queue. Players who have left meanwhile are dropped without a message.
void SendWelcomeMessages();

// The greeting `viewer` would get, sent to them alone, on or off. False when it
// cannot be shown.
bool SendWelcomeTo(AShooterPlayerController* viewer);

// The greeting in words: how it is shown, then its text and each group's, as
// configured.
std::vector<std::string> DescribeWelcome();

// "welcome: on, 5 s after joining" or "welcome: off".
std::string WelcomeStatusLine();

}  // namespace Bellwright
