#pragma once

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
