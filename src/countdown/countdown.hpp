#pragma once

#include <optional>
#include <string>

#include "base/command_outcome.hpp"

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

}  // namespace Bellwright
