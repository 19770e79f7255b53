#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/command_outcome.hpp"
#include "host/game.hpp"

// The restart countdown that bw.countdown starts: an announcement to everyone at once,
// then at each configured step, driven by the game-state timer.
namespace Bellwright {

// None runs after a start or a stop. A reload leaves it running.
void StartRestartCountdowns();
void StopRestartCountdowns();

// Announces at once to everyone, opt-outs or not, then at each configured step below
// `minutes`; `text` replaces the configured text for this countdown. Replaces a
// running countdown; refused, changing nothing, when its announcements could not be
// shown.
CommandOutcome StartCountdown(int minutes, const std::optional<std::string>& text);
CommandOutcome CancelCountdown();

// On every timer tick: the announcement whose time has come.
void SendCountdownIfDue();

// "countdown: none", or the minutes left and the next mark.
std::string CountdownStatusLine();

// The name bw.preview knows the countdown by.
inline constexpr std::string_view kCountdownName = "countdown";

// bw.preview countdown: the configured announcement at the first step, the final and the
// cancel message, to `viewer` alone as players get them; without a viewer, in words.
CommandOutcome PreviewCountdown(std::optional<int> entry, AShooterPlayerController* viewer);
// bw.preview all's share: the same with the announcement at every step.
CommandOutcome PreviewEveryCountdownText(AShooterPlayerController* viewer);

}  // namespace Bellwright
