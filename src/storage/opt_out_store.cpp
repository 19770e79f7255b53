#include "storage/opt_out_store.hpp"

#include <utility>

namespace Bellwright::Storage {

OptOutStore::OptOutStore(const StorageSettings& settings, Reporter reporter, StoreOptions options)
    : storage_name_(DescribeStorage(settings)),
      options_(options),
      health_(storage_name_, std::move(reporter)),
      database_(MakeDatabase(settings, options)) {}

OptOutStore::~OptOutStore() {
  database_->Close();
}

void OptOutStore::Pump(ChoiceMemory& choices, SeenMemory& greeted) {
  const Memories memory{choices, greeted};
  if (choices.TakeUnstorableKeyNotice()) health_.ReportUnstorableKey();
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

bool OptOutStore::IsIdle(const ChoiceMemory& memory, const SeenMemory& greeted) const {
  return job_ == Job::kNone && !memory.HasUnwritten() && !memory.HasQuestions() &&
         !greeted.HasUnrecorded() && !greeted.HasQuestions();
}

bool OptOutStore::HasWorkForNextFrame(const ChoiceMemory& memory, const SeenMemory& greeted) const {
  if (job_ != Job::kNone) return true;
  if (failing_ && Clock::now() < retry_at_) return false;
  return !database_->IsOpen() || !IsIdle(memory, greeted);
}

std::optional<Outcome> OptOutStore::StartNext(Memories memory, Clock::time_point now) {
  if ((failing_ || busy_since_) && now < retry_at_) return std::nullopt;
  if (database_->IsOpen() && database_->WasReplaced()) {
    health_.ReportRemade();
    database_->Close();
    memory.choices.WriteEveryoneAgain();
  }
  if (!database_->IsOpen()) return Start(Job::kOpen, database_->BeginOpen());
  if (memory.choices.HasUnwritten()) {
    writing_ = memory.choices.TakeBatch(options_.max_batch);
    return Start(Job::kWrite, database_->BeginWrite(writing_.choices));
  }
  asking_ = memory.choices.TakeQuestions(options_.max_batch);
  if (!asking_.empty()) return Start(Job::kRead, database_->BeginRead(asking_));
  return StartGreetedWork(memory.greeted);
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
      if (const auto unusable = database_->GreetedPlayersUnusable();
          unusable && !greeted_unusable_told_) {
        greeted_unusable_told_ = true;
        health_.ReportGreetedPlayersUnusable(*unusable);
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
