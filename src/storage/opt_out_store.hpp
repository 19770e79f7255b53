#pragma once

#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "storage/report.hpp"
#include "storage/storage_settings.hpp"
#include "storage/store_options.hpp"
#include "storage/stored_choice.hpp"

namespace Bellwright::Storage {

struct StoreState;
class StoreWorker;

// Players' choice to receive no timed messages, kept in memory for the game thread and
// written behind to SQLite or MySQL/MariaDB by a worker thread the store owns.
//
// A player key is the player's unique id, already case-folded by the caller; the store
// keeps and compares its bytes. The query and toggle functions only touch memory and
// are meant for the game thread; none of the public functions throws. When the storage
// does not work, choices keep working in memory, the worker retries, and the Reporter
// hears one line when it fails and one when it works again.
class OptOutStore {
 public:
  // Starts the worker and waits until the stored choices are read, or the first attempt
  // to read them failed, or `initial_read_budget` passed (the read then finishes in the
  // background). Null only when the process is out of memory.
  static std::unique_ptr<OptOutStore> Start(const StorageSettings& settings, Reporter reporter,
                                            StoreOptions options = {}) noexcept;
  ~OptOutStore();
  OptOutStore(const OptOutStore&) = delete;
  OptOutStore& operator=(const OptOutStore&) = delete;

  bool IsOptedOut(std::string_view player_key) const noexcept;
  bool AnyOptedOut(std::span<const std::string> player_keys) const noexcept;

  // Flips the player's choice at once and queues it to be written; returns whether the
  // player has now opted out.
  bool Toggle(std::string_view player_key) noexcept;

  // Fetches the player's stored choice again in the background (on join), so that a
  // choice made on another server sharing the storage applies here. It never undoes a
  // toggle made on this server that is not written yet.
  void Refresh(std::string_view player_key) noexcept;

  // Writes what is queued (for at most `stop_budget`, plus one database timeout when
  // the database hangs) and joins the worker. Afterwards choices live in memory only.
  // Safe to call twice; the destructor calls it.
  void Stop() noexcept;

  // True once everything queued is written and every requested read is done; false if
  // that did not happen within `timeout` (a storage that does not work). For tests,
  // benchmarks and orderly hand-overs.
  bool WaitUntilIdle(std::chrono::milliseconds timeout) noexcept;

  // "SQLite /path/bellwright.sqlite" or "MySQL user@host:port/database".
  const std::string& StorageName() const noexcept { return storage_name_; }

 private:
  OptOutStore(std::string storage_name, const StoreOptions& options);
  void StartWorker(const StorageSettings& settings, Reporter reporter);
  void AwaitFirstRead();

  std::string storage_name_;
  StoreOptions options_;
  // The worker refers to the state and the thread runs the worker: destroyed in reverse.
  std::unique_ptr<StoreState> state_;
  std::unique_ptr<StoreWorker> worker_;
  std::thread thread_;
};

}  // namespace Bellwright::Storage
