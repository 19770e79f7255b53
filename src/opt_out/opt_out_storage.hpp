#pragma once

// The storage lifecycle of the players' opt-out choices. Load and unload run under the
// operating system's loader lock on the real host, so they only read the configuration
// and keep what is unwritten in a local file; the database is opened and driven, in
// short steps that never wait, from the game's own callbacks afterwards.
namespace Bellwright {

// Reads whether the configuration names an opt-out command or a first-join welcome,
// either of which keeps the storage, and where it is; opens nothing.
void StartOptOut();
// Drops the storage without waiting; choices not yet written are kept in a file beside
// the configuration and written at the next start.
void StopOptOut();
// After a reload: switches the feature on or off, or moves to another storage, which
// gets every choice the previous one had not written.
void ReconfigureOptOut();
// Opens the storage at the first call after a start or a move, then writes and reads
// what the database allows at once. Called by the game-thread callbacks.
void DriveOptOutStorage();

}  // namespace Bellwright
