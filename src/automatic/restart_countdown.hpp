#pragma once

#include <optional>
#include <string>

#include "base/command_outcome.hpp"

// The restart countdown that bw.countdown starts: one at a time, announced to every
// player (opt-outs do not count), kept across reloads and forgotten at unload.
namespace Bellwright {

void StartCountdownOwner();
void StopCountdownOwner();

// Announces at once and plans the marks below `minutes`; `text` replaces the
// configured one for this countdown. Refused, changing nothing, when the configured
// type sends nothing or the text cannot be shown. Replaces a running countdown.
CommandOutcome StartCountdown(int minutes, const std::optional<std::string>& text);
CommandOutcome CancelCountdown();

// On every timer tick: the announcement whose time has come.
void SendCountdownIfDue();

// "countdown: none", or the minutes left and the next mark.
std::string CountdownStatusLine();

}  // namespace Bellwright
