#pragma once

#include <optional>
#include <span>
#include <string>

#include "host/fstring.hpp"
#include "host/game.hpp"

// Players' choice to receive no timed messages, for the game thread, kept while
// the timed messages name an opt-out command. The game thread asks the memory of the
// players who are here; the storage (opt_out_storage) fills it in the background of
// the game's own callbacks. Without the command no database is opened and nobody is
// left out.
namespace Bellwright {

// Whether a configured opt-out command makes the choices count.
[[nodiscard]] bool OptOutActive();

// The opt-out command as configured, while there is one.
std::optional<FString> ConfiguredOptOutCommand();

// A player whose stored choice the storage has not answered yet counts as opted out
// for the first 5 seconds after joining, so that nobody who opted out elsewhere is
// announced to, and as not opted out after that until the storage answers.
[[nodiscard]] bool IsOptedOut(const FString& unique_id);
// Flips the player's choice; returns whether they are now left out.
bool ToggleOptOut(const FString& unique_id);
// A player who is here (joined, respawned): their stored choice is read again, so that
// a choice made on another server sharing the storage applies here.
void AskOptOut(AShooterPlayerController* player);
// A player who left: forgotten, except a choice not yet written or a greeting not yet
// recorded.
void ForgetOptOut(AShooterPlayerController* player);

// "players: 3 connected, 1 of them opted out of timed messages", and ", 1 not yet known"
// while the storage has not answered about a player: their choice, or whether a greeting
// about to come is their first. Only answered choices count as opted out.
std::string PlayersStatusLine();
// "storage: SQLite /path/bellwright.sqlite, working, 0 choices waiting to be written",
// "..., failing since ... (cause), ...", or "storage: none (no OptOutCommand or
// FirstJoinMessage)".
std::string StorageStatusLine();

}  // namespace Bellwright
