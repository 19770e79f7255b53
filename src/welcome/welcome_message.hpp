#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/game.hpp"

namespace Bellwright {

// The greeting `viewer` would get, sent to them alone, on or off. False when it
// cannot be shown.
bool SendWelcomeTo(AShooterPlayerController* viewer);

// The first-join greeting `viewer` would get on their first connection, sent to them
// alone. False when there is no first-join greeting or it cannot be shown.
bool SendFirstJoinWelcomeTo(AShooterPlayerController* viewer);

// The welcome's own text, each group's (a group listed again once) and the first-join
// text, sent to `viewer` alone as each is greeted. How many could be shown.
int SendEveryWelcomeTextTo(AShooterPlayerController* viewer);

// The first-join greeting in words: how it is shown, then its text as configured; none
// while there is none.
std::optional<std::vector<std::string>> DescribeFirstJoin();

// The greeting in words: how it is shown, then its text and each group's, as
// configured.
std::vector<std::string> DescribeWelcome();

}  // namespace Bellwright
