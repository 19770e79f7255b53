#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/command_outcome.hpp"
#include "host/game.hpp"

// The automatic messages: the welcome message once per connection and the timed
// messages, driven by three detours on the game's functions. Each piece of state has
// its own start and stop, so that a load after an unload begins afresh.
namespace Bellwright {

// The queue of players to greet and the players greeted during their connection.
void StartWelcomeQueue();
void StopWelcomeQueue();

// The timed messages' due time and the index of the message drawn last.
void StartTimedMessages();
void StopTimedMessages();

// The restart countdown: none runs after a start or a stop. A reload leaves it running.
void StartRestartCountdowns();
void StopRestartCountdowns();

// The announcement lists and schedules an administrator paused: none after a start or
// a stop, and none after a reload either.
void StartAnnouncementPauses();
void StopAnnouncementPauses();
void ResumeAnnouncementsAfterReload();

// What administrators see and steer (bw.status, bw.preview, bw.pause, bw.resume,
// bw.countdown). Names match ignoring letter case; "timed" is "TimedMessages", "all"
// every list and schedule. Each outcome's lines are the reply.
std::vector<std::string> AnnouncementStatusLines();
CommandOutcome PauseAnnouncements(std::string_view name);
CommandOutcome ResumeAnnouncements(std::string_view name);
// To `viewer` only, as players get it; without a viewer, described in the reply.
CommandOutcome PreviewAnnouncement(std::string_view name, std::optional<int> entry,
                                   AShooterPlayerController* viewer);
// Announces at once to everyone, opt-outs or not, then at each configured step below
// `minutes`; `text` replaces the configured text for this countdown. Replaces a
// running countdown; refused, changing nothing, when its announcements could not be
// shown.
CommandOutcome StartCountdown(int minutes, const std::optional<std::string>& text);
CommandOutcome CancelCountdown();

// The announcement lists and schedules of the live configuration, with their clocks;
// a reconfiguration (a reload) keeps what the lists and schedules that stay have used.
void StartAnnouncements();
void ReconfigureAnnouncements();
void StopAnnouncements();

// Routes the game's possess, game-state timer and logout functions to the detours;
// RemoveHooks takes them away in the same order.
void InstallHooks();
void RemoveHooks();

}  // namespace Bellwright
