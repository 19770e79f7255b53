#include "storage/opt_out_store.hpp"

#include <cstddef>
#include <utility>

namespace Bellwright::Storage {

OptOutStore::OptOutStore(const StorageSettings& settings, Reporter reporter, StoreOptions options)
    : storage_name_(DescribeStorage(settings)),
      cluster_tables_(settings.cluster),
      options_(options),
      health_(storage_name_, std::move(reporter)),
      database_(MakeDatabase(settings, options)) {}

OptOutStore::~OptOutStore() {
  database_->Close();
}

void OptOutStore::Pump(ChoiceMemory& choices, SeenMemory& greeted, ClusterMemory& cluster) {
  const Memories memory{choices, greeted, cluster};
  if (choices.TakeUnstorableKeyNotice()) health_.ReportUnstorableKey();
  if (job_ != Job::kPost) {
    const std::size_t dropped = cluster.DropPostsOlderThan(options_.cluster_lifetime, Clock::now());
    if (dropped > 0) health_.ReportDroppedPosts(dropped, options_.cluster_lifetime);
  }
  const Clock::time_point turn_end = Clock::now() + options_.turn_budget;
  for (;;) {
    const Clock::time_point now = Clock::now();
    std::optional<Outcome> outcome =
        job_ == Job::kNone ? StartNext(memory, now) : database_->Continue();
    if (job_ == Job::kNone) return;  // nothing to do, or not yet time to try again
    if (!outcome) {
      if (now - job_started_ < JobPatience()) return;  // the database has not answered yet
      database_->Close();
      const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(JobPatience());
      outcome = FailedWith("no answer within " + std::to_string(seconds.count()) + " s");
    }
    // A file just opened is read in the same turn, so the choices of the players here
    // are known before the first timed message after a load.
    const bool opened = job_ == Job::kOpen && !outcome->failure;
    Finish(memory, std::move(*outcome), now);
    if (!opened && Clock::now() >= turn_end) return;
  }
}

void OptOutStore::SettleOnDisk() {
  if (job_ == Job::kNone && database_->IsOpen()) {
    database_->SettleOnDisk();
  }
}

bool OptOutStore::IsIdle(const ChoiceMemory& memory, const SeenMemory& greeted,
                         const ClusterMemory& cluster) const {
  return job_ == Job::kNone && !memory.HasUnwritten() && !memory.HasQuestions() &&
         !greeted.HasUnrecorded() && !greeted.HasQuestions() &&
         (!UsesCluster(cluster) || (cluster_joined_ && !cluster.HasPosts()));
}

bool OptOutStore::HasWorkForNextFrame(const ChoiceMemory& memory, const SeenMemory& greeted,
                                      const ClusterMemory& cluster) const {
  if (job_ != Job::kNone) return true;
  if (failing_ && Clock::now() < retry_at_) return false;
  return !database_->IsOpen() || !IsIdle(memory, greeted, cluster) ||
         HasClusterWorkNow(cluster, Clock::now());
}

std::optional<std::string> OptOutStore::ClusterProblem() const {
  if (const auto unusable = database_->ClusterUnusable()) return unusable->cause;
  return std::nullopt;
}

bool OptOutStore::UsesCluster(const ClusterMemory& cluster) const {
  return cluster_tables_ && cluster.InCluster() && !database_->ClusterUnusable();
}

bool OptOutStore::HasClusterWorkNow(const ClusterMemory& cluster, Clock::time_point now) const {
  return UsesCluster(cluster) && database_->IsOpen() && (now >= fetch_due_ || now >= presence_due_);
}

std::optional<Outcome> OptOutStore::StartNext(Memories memory, Clock::time_point now) {
  if ((failing_ || busy_since_) && now < retry_at_) return std::nullopt;
  if (database_->IsOpen() && database_->WasReplaced()) {
    health_.ReportRemade();
    database_->Close();
    memory.choices.WriteEveryoneAgain();
  }
  if (!database_->IsOpen()) return Start(Job::kOpen, database_->BeginOpen());
  if (auto started = StartClusterUrgent(memory.cluster, now); job_ != Job::kNone) return started;
  if (memory.choices.HasUnwritten()) {
    writing_ = memory.choices.TakeBatch(options_.max_batch);
    return Start(Job::kWrite, database_->BeginWrite(writing_.choices));
  }
  asking_ = memory.choices.TakeQuestions(options_.max_batch);
  if (!asking_.empty()) return Start(Job::kRead, database_->BeginRead(asking_));
  if (auto started = StartGreetedWork(memory.greeted); job_ != Job::kNone) return started;
  return StartClusterRound(memory.cluster, now);
}

// Greeted players are recorded before anyone is asked about, so that a player greeted
// here is never new to a read that comes after.
std::optional<Outcome> OptOutStore::StartGreetedWork(SeenMemory& greeted) {
  if (database_->GreetedPlayersUnusable()) {
    greeted.AnswerEveryoneGreetedBefore();
    return std::nullopt;
  }
  if (greeted.HasUnrecorded()) {
    recording_ = greeted.TakeBatch(options_.max_batch);
    return Start(Job::kRecordGreeted, database_->BeginRecordGreeted(recording_));
  }
  asking_ = greeted.TakeQuestions(options_.max_batch);
  if (!asking_.empty()) return Start(Job::kReadGreeted, database_->BeginReadGreeted(asking_));
  return std::nullopt;
}

// A message goes out before anything else, so that every server has it within moments.
std::optional<Outcome> OptOutStore::StartClusterUrgent(ClusterMemory& cluster,
                                                       Clock::time_point now) {
  if (!UsesCluster(cluster)) return std::nullopt;
  if (cluster.HasPosts()) {
    const ClusterPost post = cluster.FirstPost(now);
    posting_ = post.number;
    return Start(Job::kPost, database_->BeginPost(cluster.Identity(), cluster.Instance(), post));
  }
  if (!cluster_joined_) {
    return Start(Job::kJoin,
                 database_->BeginJoinCluster(cluster.Identity(), options_.cluster_lifetime));
  }
  return std::nullopt;
}

std::optional<Outcome> OptOutStore::StartClusterRound(ClusterMemory& cluster,
                                                      Clock::time_point now) {
  if (!UsesCluster(cluster)) return std::nullopt;
  if (now >= fetch_due_) {
    return Start(Job::kFetch,
                 database_->BeginFetch(cluster.NextFetch(), options_.cluster_fetch_batch));
  }
  if (now >= presence_due_) {
    return Start(Job::kPresence,
                 database_->BeginPresence(cluster.Identity(), cluster.NextPresence(),
                                          options_.cluster_lifetime));
  }
  if (prune_below_ > 0) {
    return Start(Job::kPrune, database_->BeginPrune(std::exchange(prune_below_, 0),
                                                    options_.cluster_keep_messages));
  }
  return std::nullopt;
}

std::optional<Outcome> OptOutStore::Start(Job job, std::optional<Outcome> outcome) {
  job_ = job;
  job_started_ = Clock::now();
  return outcome;
}

OptOutStore::Clock::duration OptOutStore::JobPatience() const {
  return job_ == Job::kOpen ? Clock::duration(options_.mysql_connect)
                            : Clock::duration(options_.mysql_answer);
}

void OptOutStore::Finish(Memories memory, Outcome outcome, Clock::time_point now) {
  if (outcome.busy && Busy(memory, now)) return;
  if (outcome.failure) {
    Failed(memory, *outcome.failure, now);
  } else {
    Succeeded(memory, outcome);
  }
  job_ = Job::kNone;
}

// Another connection holds the SQLite file's lock: tried again at the next turn, and told
// only when it lasts.
bool OptOutStore::Busy(Memories memory, Clock::time_point now) {
  if (!busy_since_) busy_since_ = now;
  if (now - *busy_since_ >= options_.sqlite_lock_patience) return false;
  Requeue(memory);
  job_ = Job::kNone;
  retry_at_ = now + std::chrono::milliseconds(1);  // not in this turn
  return true;
}

void OptOutStore::Succeeded(Memories memory, Outcome& outcome) {
  switch (job_) {
    case Job::kOpen:
      // Other servers may have written while this one could not read.
      memory.choices.AskEveryoneAgain();
      memory.greeted.AskEveryoneAgain();
      cluster_joined_ = false;
      if (const auto unusable = database_->GreetedPlayersUnusable();
          unusable && !greeted_unusable_told_) {
        greeted_unusable_told_ = true;
        health_.ReportGreetedPlayersUnusable(*unusable);
      }
      if (const auto unusable = database_->ClusterUnusable();
          unusable && memory.cluster.InCluster() && !cluster_unusable_told_) {
        cluster_unusable_told_ = true;
        health_.ReportClusterUnusable(*unusable);
      }
      break;
    case Job::kWrite:
      memory.choices.MarkWritten(writing_);
      break;
    case Job::kRead:
      memory.choices.Answer(asking_, outcome.rows);
      break;
    case Job::kRecordGreeted:
      memory.greeted.MarkRecorded(recording_);
      break;
    case Job::kReadGreeted:
      memory.greeted.Answer(asking_, outcome.greeted);
      break;
    case Job::kJoin:
    case Job::kPost:
    case Job::kFetch:
    case Job::kPresence:
    case Job::kPrune:
      ClusterSucceeded(memory.cluster, outcome, Clock::now());
      break;
    case Job::kNone:
      break;
  }
  writing_ = {};
  asking_.clear();
  recording_.clear();
  if (job_ == Job::kOpen) return;  // it works once it has done some work
  busy_since_.reset();
  failing_ = false;
  fresh_try_done_ = false;
  health_.Worked();
}

void OptOutStore::ClusterSucceeded(ClusterMemory& cluster, Outcome& outcome,
                                   Clock::time_point now) {
  switch (job_) {
    case Job::kJoin:
      if (outcome.join) cluster.Join(*outcome.join, storage_name_);
      cluster_joined_ = true;
      fetch_due_ = now;
      presence_due_ = now;
      break;
    case Job::kPost:
      cluster.MarkPosted(posting_);
      if (outcome.posted_id > 0 &&
          (!last_prune_ || now - *last_prune_ >= options_.cluster_prune_interval)) {
        last_prune_ = now;
        prune_below_ = outcome.posted_id;
      }
      break;
    case Job::kFetch:
      cluster.Fetched(outcome.messages, options_.cluster_lifetime, options_.cluster_reread_window,
                      now);
      // A full batch leaves more to read at once; otherwise the next timer call reads.
      fetch_due_ = outcome.messages.size() >= options_.cluster_fetch_batch
                       ? now
                       : job_started_ + options_.cluster_fetch_interval;
      // What was delivered is written with the next report, soon.
      if (!outcome.messages.empty()) presence_due_ = now;
      break;
    case Job::kPresence:
      cluster.PresenceRead(std::move(outcome.servers), now);
      presence_due_ = job_started_ + options_.cluster_presence_interval;
      if (cluster.TakeSharedNameNotice()) health_.ReportSharedServerName(cluster.Identity().name);
      break;
    case Job::kPrune:
      if (outcome.refused && !prune_refused_told_) {
        prune_refused_told_ = true;
        health_.ReportPruneRefused(*outcome.refused);
      }
      break;
    default:
      break;
  }
}

void OptOutStore::Failed(Memories memory, const Failure& failure, Clock::time_point now) {
  const bool connection_was_working = job_ != Job::kOpen && !failing_ && !fresh_try_done_;
  Requeue(memory);
  database_->Close();
  busy_since_.reset();
  if (connection_was_working) {
    fresh_try_done_ = true;
    return;
  }
  failing_ = true;
  retry_at_ = now + options_.retry_interval;
  health_.Failed(failure);
}

void OptOutStore::Requeue(Memories memory) {
  if (job_ == Job::kReadGreeted) {
    memory.greeted.ReturnQuestions(asking_);
  } else {
    memory.choices.ReturnQuestions(asking_);
  }
  asking_.clear();
  writing_ = {};
  recording_.clear();
}

}  // namespace Bellwright::Storage
