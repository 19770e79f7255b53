#pragma once

#include <chrono>
#include <cstddef>

namespace Bellwright::Storage {

// How the store paces its work. Every wait here is a deadline the store checks when it
// is next driven, never time spent blocked.
struct StoreOptions {
  // How often a storage that does not work is tried again.
  std::chrono::milliseconds retry_interval{5000};
  // How long another connection may hold the SQLite file's lock before that is reported;
  // meanwhile the work is tried again at every turn.
  std::chrono::milliseconds sqlite_lock_patience{1000};
  // How long a MySQL server may take to be found, connected and logged into.
  std::chrono::milliseconds mysql_connect{5000};
  // How long a MySQL server may take to answer one statement.
  std::chrono::milliseconds mysql_answer{10000};
  // Choices written, or players asked about, in one statement at most.
  std::size_t max_batch = 500;
  // How long one turn may keep working while the database has answers ready.
  std::chrono::microseconds turn_budget{1500};

  // The cluster's messages. How soon after one read of the messages for every server the
  // next may begin: well under the game's one-second timer, so that every timer call finds
  // one due even when the last began late (behind another operation); a store busy with
  // other work at the frames in between may read there too.
  std::chrono::milliseconds cluster_fetch_interval{500};
  // How often this server reports itself (players, what it delivered) and reads the
  // others' reports.
  std::chrono::milliseconds cluster_presence_interval{5000};
  // A message older than this is not delivered by a server that comes to it late, nor
  // stored by one that could not store it meanwhile; a server whose report is older is
  // no longer counted as seen.
  std::chrono::milliseconds cluster_lifetime{60000};
  // How long a message below one already read may still appear (written with a lower
  // number, committed a moment later).
  std::chrono::milliseconds cluster_reread_window{10000};
  // Messages older than this are removed, now and then, by a server that sends one.
  std::chrono::milliseconds cluster_keep_messages{3600000};
  std::chrono::milliseconds cluster_prune_interval{600000};
  // Messages read in one statement at most.
  std::size_t cluster_fetch_batch = 100;
};

}  // namespace Bellwright::Storage
