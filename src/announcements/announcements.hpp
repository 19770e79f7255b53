#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/command_outcome.hpp"
#include "host/game.hpp"

// The announcements: the timed messages, the announcement lists and the schedules, each
// sent at its own clock from the game-state timer, and what administrators see and
// steer of them. Each piece of state has its own start and stop, so that a load after
// an unload begins afresh.
namespace Bellwright {

// The timed messages' due time and the index of the message drawn last.
void StartTimedMessages();
void StopTimedMessages();

// The announcement lists and schedules of the live configuration, with their clocks;
// a reconfiguration (a reload) keeps what the lists and schedules that stay have used.
void StartAnnouncements();
void ReconfigureAnnouncements();
void StopAnnouncements();

// The announcement lists and schedules an administrator paused: none after a start or
// a stop, and none after a reload either.
void StartAnnouncementPauses();
void StopAnnouncementPauses();
void ResumeAnnouncementsAfterReload();

// On every game-state timer tick, first: a timed message when timed messages are on
// and the next one is due, then the following due time is set. A paused turn ("timed")
// comes and goes as usual, sending nothing and choosing no entry.
void SendTimedMessageIfDue();
// Then the announcement lists that are due, in the configured order, then the schedules.
void SendDueAnnouncements();

// What administrators see and steer (bw.status, bw.preview, bw.pause, bw.resume,
// bw.skip). Names match ignoring letter case; "timed" is the TimedMessages section, "all"
// every list and schedule. Each outcome's lines are the reply.
std::vector<std::string> AnnouncementStatusLines();
// `minutes`: the pause ends by itself after so long; none waits for bw.resume.
CommandOutcome PauseAnnouncements(std::string_view name, std::optional<int> minutes);
CommandOutcome ResumeAnnouncements(std::string_view name);
// The next turn of a list, or the next occurrence of a schedule with all its steps.
CommandOutcome SkipAnnouncement(std::string_view name);
// bw.next: what goes out in the next `hours`, in order, at most 50 lines.
CommandOutcome NextAnnouncements(int hours);

// Why the list or schedule `name` sends nothing: switched off, or it cannot run; none
// when it runs or nothing has that name.
std::optional<std::string> WhyNotRunning(std::string_view name);

// "timed", then the lists and schedules that run, in the configured order.
std::vector<std::string> SteerableNames();

// To `viewer` only, as players get it; without a viewer, described in the reply. None
// when nothing of the announcements has the name whose AnnouncementNameKey is `key`.
std::optional<CommandOutcome> PreviewAnnouncement(std::string_view key, std::optional<int> entry,
                                                  AShooterPlayerController* viewer);

// bw.preview all's share: every entry of the timed messages and of each list, every step
// of each schedule, in the configured order; what does not run is named with the reason.
CommandOutcome PreviewEveryAnnouncement(AShooterPlayerController* viewer);

}  // namespace Bellwright
