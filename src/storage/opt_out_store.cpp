#include "storage/opt_out_store.hpp"

#include <algorithm>
#include <exception>
#include <mutex>
#include <utility>

#include "storage/database.hpp"
#include "storage/storage_health.hpp"
#include "storage/store_state.hpp"
#include "storage/store_worker.hpp"

namespace Bellwright::Storage {

std::unique_ptr<OptOutStore> OptOutStore::Start(const StorageSettings& settings, Reporter reporter,
                                                StoreOptions options) noexcept {
  std::unique_ptr<OptOutStore> store;
  try {
    store.reset(new OptOutStore(DescribeStorage(settings), options));
  } catch (...) {
    return nullptr;
  }
  store->StartWorker(settings, std::move(reporter));
  store->AwaitFirstRead();
  return store;
}

OptOutStore::OptOutStore(std::string storage_name, const StoreOptions& options)
    : storage_name_(std::move(storage_name)),
      options_(options),
      state_(std::make_unique<StoreState>()) {}

OptOutStore::~OptOutStore() {
  Stop();
}

void OptOutStore::StartWorker(const StorageSettings& settings, Reporter reporter) {
  StorageHealth health(storage_name_, std::move(reporter));
  try {
    worker_ = std::make_unique<StoreWorker>(*state_, MakeDatabase(settings, options_.timeouts),
                                            health, options_);
    thread_ = std::thread([worker = worker_.get()] { worker->Run(); });
  } catch (const std::exception& error) {
    // No thread to be had: the choices work in memory for the session.
    health.ReportWorkerStopped(error.what());
    worker_.reset();
    const std::lock_guard lock(state_->mutex);
    state_->worker_gone = true;
  }
}

void OptOutStore::AwaitFirstRead() {
  if (!thread_.joinable()) return;
  std::unique_lock lock(state_->mutex);
  state_->progress.wait_for(lock, options_.initial_read_budget,
                            [this] { return state_->first_attempt_done; });
}

bool OptOutStore::IsOptedOut(std::string_view player_key) const noexcept {
  const std::lock_guard lock(state_->mutex);
  return state_->memory.IsOptedOut(player_key);
}

bool OptOutStore::AnyOptedOut(std::span<const std::string> player_keys) const noexcept {
  const std::lock_guard lock(state_->mutex);
  return state_->memory.AnyOptedOut(player_keys);
}

bool OptOutStore::Toggle(std::string_view player_key) noexcept {
  std::unique_lock lock(state_->mutex);
  try {
    const bool opted_out = state_->memory.Toggle(player_key);
    state_->idle = false;
    lock.unlock();
    state_->work_arrived.notify_one();
    return opted_out;
  } catch (...) {
    // Out of memory for one more key: the choice stays as it was.
    return state_->memory.IsOptedOut(player_key);
  }
}

void OptOutStore::Refresh(std::string_view player_key) noexcept {
  if (player_key.size() > kMaxStoredKeyBytes) return;
  std::unique_lock lock(state_->mutex);
  if (state_->stop_requested) return;
  try {
    auto& requests = state_->refresh_requests;
    if (std::find(requests.begin(), requests.end(), player_key) != requests.end()) return;
    requests.emplace_back(player_key);
    state_->idle = false;
  } catch (...) {
    return;  // Out of memory: the next join asks again.
  }
  lock.unlock();
  state_->work_arrived.notify_one();
}

void OptOutStore::Stop() noexcept {
  {
    const std::lock_guard lock(state_->mutex);
    if (!state_->stop_requested) {
      state_->stop_requested = true;
      state_->stop_deadline = std::chrono::steady_clock::now() + options_.stop_budget;
    }
  }
  state_->work_arrived.notify_one();
  if (thread_.joinable()) {
    try {
      thread_.join();
    } catch (...) {
      // join fails only for a thread that is not joinable, checked above.
    }
  }
}

bool OptOutStore::WaitUntilIdle(std::chrono::milliseconds timeout) noexcept {
  std::unique_lock lock(state_->mutex);
  return state_->progress.wait_for(lock, timeout, [this] {
    return state_->idle || state_->worker_gone;
  }) && state_->idle;
}

}  // namespace Bellwright::Storage
