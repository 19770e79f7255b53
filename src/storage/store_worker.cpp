#include "storage/store_worker.hpp"

#include <algorithm>
#include <exception>
#include <utility>

namespace Bellwright::Storage {

using Clock = std::chrono::steady_clock;

StoreWorker::StoreWorker(StoreState& state, std::unique_ptr<Database> database,
                         StorageHealth health, const StoreOptions& options)
    : state_(state),
      database_(std::move(database)),
      health_(std::move(health)),
      options_(options) {}

void StoreWorker::Run() noexcept {
  try {
    Loop();
  } catch (const std::exception& error) {
    health_.ReportWorkerStopped(error.what());
  } catch (...) {
    health_.ReportWorkerStopped("unknown error");
  }
  Finish();
}

void StoreWorker::Loop() {
  std::unique_lock lock(state_.mutex);
  while (std::optional<Work> work = AwaitWork(lock)) {
    lock.unlock();
    const bool worked = Attempt(*work);
    lock.lock();
    Settle(*work, worked);
  }
  const std::size_t unwritten = state_.memory.PendingWriteCount();
  lock.unlock();
  if (unwritten > 0) health_.ReportUnwritten(unwritten);
}

std::optional<StoreWorker::Work> StoreWorker::AwaitWork(std::unique_lock<std::mutex>& lock) {
  for (;;) {
    if (state_.memory.TakeUnstorableKeyNotice()) ReportUnstorableKey(lock);
    const Clock::time_point now = Clock::now();
    const bool has_writes = state_.memory.HasPendingWrites();
    if (state_.stop_requested) {
      // Reading is pointless now; only what is queued still matters.
      if (!has_writes || now >= state_.stop_deadline) return std::nullopt;
      if (failing_ && now < retry_at_) {
        state_.work_arrived.wait_until(lock, std::min(retry_at_, state_.stop_deadline));
        continue;
      }
      return TakeWork(/*stopping=*/true);
    }
    if (need_full_read_ || has_writes || !state_.refresh_requests.empty()) {
      if (failing_ && now < retry_at_) {
        state_.work_arrived.wait_until(lock, retry_at_);
        continue;
      }
      return TakeWork(/*stopping=*/false);
    }
    if (!state_.idle) {
      state_.idle = true;
      state_.progress.notify_all();
    }
    state_.work_arrived.wait(lock);
  }
}

StoreWorker::Work StoreWorker::TakeWork(bool stopping) {
  state_.idle = false;
  Work work;
  work.writes = state_.memory.TakeBatch(options_.max_batch);
  work.stopping = stopping;
  if (!stopping) work.refreshes = std::exchange(state_.refresh_requests, {});
  return work;
}

bool StoreWorker::Attempt(const Work& work) {
  const bool reused_connection = database_->IsOpen();
  std::optional<Failure> failure = TryOnce(work);
  // A connection that sat idle may have been dropped by the server (its idle timeout,
  // a restart) while the server itself is fine: one fresh try before anyone is told.
  if (failure && reused_connection) {
    database_->Close();
    failure = TryOnce(work);
  }
  if (failure) {
    database_->Close();
    need_full_read_ = true;
    health_.Failed(*failure);
    return false;
  }
  health_.Worked();
  return true;
}

std::optional<Failure> StoreWorker::TryOnce(const Work& work) {
  if (!database_->IsOpen()) {
    if (auto failure = database_->Open()) return failure;
    need_full_read_ = true;
  }
  if (need_full_read_ && !work.stopping) {
    Expected<std::vector<StoredChoice>> stored = database_->ReadAll();
    if (!stored) return stored.Error();
    const std::lock_guard lock(state_.mutex);
    state_.memory.ApplyAllStored(*stored);
    need_full_read_ = false;
  }
  for (const std::string& player_key : work.refreshes) {
    Expected<bool> opted_out = database_->ReadOne(player_key);
    if (!opted_out) return opted_out.Error();
    const std::lock_guard lock(state_.mutex);
    state_.memory.ApplyStored(player_key, *opted_out);
  }
  if (!work.writes.choices.empty()) return database_->Write(work.writes.choices);
  return std::nullopt;
}

void StoreWorker::Settle(const Work& work, bool worked) {
  failing_ = !worked;
  if (worked) {
    state_.memory.MarkWritten(work.writes);
  } else {
    retry_at_ = Clock::now() + options_.retry_interval;
  }
  if (!state_.first_attempt_done) {
    state_.first_attempt_done = true;
    state_.progress.notify_all();
  }
}

void StoreWorker::ReportUnstorableKey(std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  health_.ReportUnstorableKey();
  lock.lock();
}

void StoreWorker::Finish() {
  database_->Close();
  try {
    const std::lock_guard lock(state_.mutex);
    state_.first_attempt_done = true;
    state_.worker_gone = true;
    state_.idle = false;
  } catch (...) {
    // Locking a healthy mutex does not fail; nothing useful is left to do if it did.
  }
  state_.progress.notify_all();
}

}  // namespace Bellwright::Storage
