#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/choice_memory.hpp"
#include "storage/cluster_memory.hpp"
#include "storage/database.hpp"
#include "storage/report.hpp"
#include "storage/seen_memory.hpp"
#include "storage/storage_health.hpp"
#include "storage/storage_settings.hpp"
#include "storage/store_options.hpp"

namespace Bellwright::Storage {

// Writes players' choices to SQLite or MySQL/MariaDB and reads the choices of the
// players who are here; records the players greeted and tells whether a player about to
// be greeted ever was, driven in short steps by its owner's thread and never waiting:
// each Pump does what the database allows at that moment (one operation under way at a
// time) and returns. It owns no thread, so there is nothing to start, join or wait for.
// When the storage does not work, choices keep working in memory, the store tries again,
// and the Reporter hears one line when it fails and one when it works again.
//
// For a server of a cluster it also stores the messages this server sends to every other
// server, reads those the others sent (at each call of the game's one-second timer), and
// reports this server's presence every few seconds while reading the others'.
class OptOutStore {
 public:
  using Clock = std::chrono::steady_clock;

  OptOutStore(const StorageSettings& settings, Reporter reporter, StoreOptions options = {});
  // Drops the connection without waiting; what is not written stays in the memory.
  ~OptOutStore();
  OptOutStore(const OptOutStore&) = delete;
  OptOutStore& operator=(const OptOutStore&) = delete;

  // Opens the storage when needed, writes what `memory` and `greeted` have unwritten and
  // answers their questions, and stores, reads and reports what `cluster` has due, for as
  // long as the database answers at once and the turn budget lasts.
  void Pump(ChoiceMemory& memory, SeenMemory& greeted, ClusterMemory& cluster);
  // At the unload: what the storage took is made to last a power cut (SQLite); the game
  // never waits for the disk otherwise.
  void SettleOnDisk();
  // Nothing under way and nothing to do now (for tests and benchmarks); the cluster's
  // reads and reports that come round again do not count.
  bool IsIdle(const ChoiceMemory& memory, const SeenMemory& greeted,
              const ClusterMemory& cluster) const;
  // Whether being driven again soon would get on with something: an operation under way,
  // whose answer may come any moment, or work that is not held back until a later try.
  bool HasWorkForNextFrame(const ChoiceMemory& memory, const SeenMemory& greeted,
                           const ClusterMemory& cluster) const;

  // "SQLite /path/bellwright.sqlite" or "MySQL user@host:port/database".
  const std::string& StorageName() const noexcept { return storage_name_; }
  // Whether its last attempt failed (told once to the Reporter) and it has not worked since.
  bool IsFailing() const noexcept { return failing_; }
  const std::string& LastFailureCause() const noexcept { return health_.LastCause(); }
  // Why the cluster's tables could not be used at the last open; nothing while they can, or
  // before the first open.
  std::optional<std::string> ClusterProblem() const;

 private:
  enum class Job {
    kNone,
    kOpen,
    kRead,
    kWrite,
    kReadGreeted,
    kRecordGreeted,
    kJoin,
    kPost,
    kFetch,
    kPresence,
    kPrune
  };
  // What a turn works for.
  struct Memories {
    ChoiceMemory& choices;
    SeenMemory& greeted;
    ClusterMemory& cluster;
  };

  std::optional<Outcome> StartNext(Memories memory, Clock::time_point now);
  std::optional<Outcome> StartGreetedWork(SeenMemory& greeted);
  // What is urgent for the cluster: a message to store, the join after an open.
  std::optional<Outcome> StartClusterUrgent(ClusterMemory& cluster, Clock::time_point now);
  // What comes round: the read of messages, the report, the removal of old messages.
  std::optional<Outcome> StartClusterRound(ClusterMemory& cluster, Clock::time_point now);
  bool UsesCluster(const ClusterMemory& cluster) const;
  bool HasClusterWorkNow(const ClusterMemory& cluster, Clock::time_point now) const;
  void ClusterSucceeded(ClusterMemory& cluster, Outcome& outcome, Clock::time_point now);
  std::optional<Outcome> Start(Job job, std::optional<Outcome> outcome);
  void Finish(Memories memory, Outcome outcome, Clock::time_point now);
  void Succeeded(Memories memory, Outcome& outcome);
  void Failed(Memories memory, const Failure& failure, Clock::time_point now);
  bool Busy(Memories memory, Clock::time_point now);
  void Requeue(Memories memory);
  Clock::duration JobPatience() const;

  std::string storage_name_;
  // Whether the storage keeps the cluster's tables: a memory in a cluster is served only then.
  bool cluster_tables_ = false;
  StoreOptions options_;
  StorageHealth health_;
  std::unique_ptr<Database> database_;

  Job job_ = Job::kNone;
  Clock::time_point job_started_;
  WriteBatch writing_;
  std::vector<std::string> asking_;
  std::vector<std::string> recording_;
  // The table of greeted players could not be used at the last open (told once).
  bool greeted_unusable_told_ = false;

  // The cluster: joined since the last open; when the next read, report and removal are due.
  bool cluster_joined_ = false;
  bool cluster_unusable_told_ = false;
  bool prune_refused_told_ = false;
  std::int64_t posting_ = 0;
  Clock::time_point fetch_due_;
  Clock::time_point presence_due_;
  std::optional<Clock::time_point> last_prune_;
  std::int64_t prune_below_ = 0;

  bool failing_ = false;
  // One fresh connection is tried at once before a failure on a connection that had
  // been working is told: servers drop idle connections.
  bool fresh_try_done_ = false;
  Clock::time_point retry_at_;
  std::optional<Clock::time_point> busy_since_;
};

}  // namespace Bellwright::Storage
