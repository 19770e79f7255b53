#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/command_outcome.hpp"
#include "host/game.hpp"

// The welcome message: each player greeted once per connection, shortly after taking
// control of a living character. The possession queues the greeting, the game-state
// timer sends it, the logout forgets the player.
namespace Bellwright {

// The queue of players to greet and the players greeted during their connection.
void StartWelcomeQueue();
void StopWelcomeQueue();

// After the game has possessed `character`: schedules the player's greeting, unless
// greetings are off, the character is dead or has no owner, or the player has been
// greeted during this connection.
void OnCharacterPossessed(ACharacter* character);

// Forgets the logging-out player, so that their next connection is greeted again.
void OnPlayerLogout(AController* controller);

// The welcome pass: greets every player queued since the last pass, each once, and
// empties the queue. Players who have left meanwhile are dropped without a message.
void SendWelcomeMessages();

// bw.preview welcome and bw.preview firstjoin (kWelcomeName and kFirstJoinName of
// base/schedule_fields.hpp): to `viewer` only, as players get it; without a viewer,
// described in the reply.
CommandOutcome PreviewWelcome(std::optional<int> entry, AShooterPlayerController* viewer);
CommandOutcome PreviewFirstJoin(std::optional<int> entry, AShooterPlayerController* viewer);

// bw.preview all's share: the welcome's own text, each group's and the first-join text,
// while greetings are on.
CommandOutcome PreviewEveryWelcomeText(AShooterPlayerController* viewer);

// Whether a first-join greeting is configured, so that bw.preview offers it.
bool HasFirstJoinWelcome();

// "welcome: on, 5 s after joining" or "welcome: off".
std::string WelcomeStatusLine();

}  // namespace Bellwright
