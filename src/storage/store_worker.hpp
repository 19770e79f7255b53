#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "storage/choice_memory.hpp"
#include "storage/database.hpp"
#include "storage/storage_health.hpp"
#include "storage/store_options.hpp"
#include "storage/store_state.hpp"

namespace Bellwright::Storage {

// The loop of the store's worker thread: reads the stored choices whenever a
// connection is (re)opened, fetches single players again on request, writes what the
// game thread toggled, and retries a storage that does not work.
class StoreWorker {
 public:
  StoreWorker(StoreState& state, std::unique_ptr<Database> database, StorageHealth health,
              const StoreOptions& options);

  // Returns when a stop was requested and the queue is written or its budget spent.
  void Run() noexcept;

 private:
  struct Work {
    WriteBatch writes;
    std::vector<std::string> refreshes;
    bool stopping = false;
  };

  void Loop();
  std::optional<Work> AwaitWork(std::unique_lock<std::mutex>& lock);
  Work TakeWork(bool stopping);
  bool Attempt(const Work& work);
  std::optional<Failure> TryOnce(const Work& work);
  void Settle(const Work& work, bool worked);
  void ReportUnstorableKey(std::unique_lock<std::mutex>& lock);
  void Finish();

  StoreState& state_;
  std::unique_ptr<Database> database_;
  StorageHealth health_;
  StoreOptions options_;

  // Worker-only: a fresh connection reads everything, since other servers may have
  // written while this one could not read.
  bool need_full_read_ = true;
  bool failing_ = false;
  std::chrono::steady_clock::time_point retry_at_;
};

}  // namespace Bellwright::Storage
