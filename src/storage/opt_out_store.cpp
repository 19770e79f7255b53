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

void OptOutStore::Pump(ChoiceMemory& memory) {
  if (memory.TakeUnstorableKeyNotice()) health_.ReportUnstorableKey();
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

bool OptOutStore::IsIdle(const ChoiceMemory& memory) const {
  return job_ == Job::kNone && !memory.HasUnwritten() && !memory.HasQuestions();
}

std::optional<Outcome> OptOutStore::StartNext(ChoiceMemory& memory, Clock::time_point now) {
  if ((failing_ || busy_since_) && now < retry_at_) return std::nullopt;
  if (database_->IsOpen() && database_->WasReplaced()) {
    health_.ReportRemade();
    database_->Close();
    memory.WriteEveryoneAgain();
  }
  if (!database_->IsOpen()) return Start(Job::kOpen, database_->BeginOpen());
  if (memory.HasUnwritten()) {
    writing_ = memory.TakeBatch(options_.max_batch);
    return Start(Job::kWrite, database_->BeginWrite(writing_.choices));
  }
  asking_ = memory.TakeQuestions(options_.max_batch);
  if (!asking_.empty()) return Start(Job::kRead, database_->BeginRead(asking_));
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

void OptOutStore::Finish(ChoiceMemory& memory, Outcome outcome, Clock::time_point now) {
  if (outcome.busy && Busy(memory, outcome, now)) return;
  if (outcome.failure) {
    Failed(memory, *outcome.failure, now);
  } else {
    Succeeded(memory, outcome);
  }
  job_ = Job::kNone;
}

// Another connection holds the SQLite file's lock: tried again at the next turn, and told
// only when it lasts.
bool OptOutStore::Busy(ChoiceMemory& memory, const Outcome& outcome, Clock::time_point now) {
  if (!busy_since_) busy_since_ = now;
  if (now - *busy_since_ >= options_.sqlite_lock_patience) return false;
  Requeue(memory);
  job_ = Job::kNone;
  retry_at_ = now + std::chrono::milliseconds(1);  // not in this turn
  (void)outcome;
  return true;
}

void OptOutStore::Succeeded(ChoiceMemory& memory, Outcome& outcome) {
  switch (job_) {
    case Job::kOpen:
      // Other servers may have written while this one could not read.
      memory.AskEveryoneAgain();
      break;
    case Job::kWrite:
      memory.MarkWritten(writing_);
      break;
    case Job::kRead:
      memory.Answer(asking_, outcome.rows);
      break;
    case Job::kNone:
      break;
  }
  writing_ = {};
  asking_.clear();
  if (job_ == Job::kOpen) return;  // it works once it has done some work
  busy_since_.reset();
  failing_ = false;
  fresh_try_done_ = false;
  health_.Worked();
}

void OptOutStore::Failed(ChoiceMemory& memory, const Failure& failure, Clock::time_point now) {
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

void OptOutStore::Requeue(ChoiceMemory& memory) {
  memory.ReturnQuestions(asking_);
  asking_.clear();
  writing_ = {};
}

}  // namespace Bellwright::Storage
