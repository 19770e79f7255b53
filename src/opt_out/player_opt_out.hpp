#pragma once

#include <optional>
#include <span>
#include <string>

#include "host/fstring.hpp"

// Players' choice to receive no timed messages, kept while "TimedMessages" names an
// "OptOutCommand": remembered in SQLite in the plug-in's folder, or in a MySQL/MariaDB
// database a cluster of servers shares ("Bellwright" -> "Storage"). Without the
// command no database is opened and nobody is left out.
namespace Bellwright {

// Opens the storage when the live configuration names an opt-out command; the stored
// choices are read before it returns (a MySQL server gets 2 seconds).
void StartOptOut();
// Writes what is still queued (a few seconds at most) and closes the storage.
void StopOptOut();
// After a reload: opens, closes or moves the storage as the new configuration says.
void ReconfigureOptOut();

// Whether a configured opt-out command makes the choices count.
[[nodiscard]] bool OptOutActive();

// The opt-out command as configured, while there is one.
std::optional<FString> ConfiguredOptOutCommand();

[[nodiscard]] bool IsOptedOut(const FString& unique_id);
// Whether any of these players has opted out; false while the feature is off.
[[nodiscard]] bool AnyOptedOut(std::span<const FString> unique_ids);
// Flips the player's choice; returns whether they are now left out.
bool ToggleOptOut(const FString& unique_id);
// Fetches a joining player's stored choice again in the background, so that a choice
// made on another server sharing the storage applies from the next timed message.
void RefreshOptOut(const FString& unique_id);

// Logs, on the game thread, what the storage reported from its worker meanwhile.
void DeliverStorageReports();

// "players: 3 connected, 1 of them opted out of timed messages".
std::string PlayersStatusLine();
// "storage: SQLite /path/bellwright.sqlite, working", "..., failing since
// 2026-01-01 00:00:05 UTC (the log says why)", or "storage: none (no OptOutCommand)".
std::string StorageStatusLine();

}  // namespace Bellwright
