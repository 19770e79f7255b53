#pragma once

#include <optional>
#include <string_view>

#include "base/command_outcome.hpp"
#include "host/game.hpp"

namespace Bellwright {

// bw.preview NAME [N]: the welcome, the first-join welcome, the timed messages, a list
// or a schedule, found by name ignoring letter case; to `viewer` only, or described in
// the reply without one.
CommandOutcome PreviewByName(std::string_view name, std::optional<int> entry,
                             AShooterPlayerController* viewer);

}  // namespace Bellwright
