#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "mariadb_server.hpp"
#include "storage/opt_out_store.hpp"
#include "storage/report.hpp"

namespace Bellwright::Storage::Testing {

using namespace std::chrono_literals;

// Short intervals so that failures and recoveries show within a test's patience.
inline StoreOptions QuickOptions() {
  StoreOptions options;
  options.retry_interval = 50ms;
  options.sqlite_lock_patience = 100ms;
  options.mysql_connect = 1s;
  options.mysql_answer = 2s;
  return options;
}

struct ReportedLine {
  Severity severity;
  std::string text;
};

// Collects what the store reports, from whichever thread.
class ReportLog {
 public:
  Reporter Sink() {
    return [this](Severity severity, const std::string& line) {
      const std::lock_guard lock(mutex_);
      lines_.push_back({severity, line});
    };
  }
  std::vector<ReportedLine> Lines() const {
    const std::lock_guard lock(mutex_);
    return lines_;
  }
  std::size_t Count() const { return Lines().size(); }
  // Every line, for a failure message.
  std::string Text() const {
    std::string text;
    for (const ReportedLine& line : Lines()) text += line.text + "\n";
    return text;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<ReportedLine> lines_;
};

// Polls `condition`, `pause` apart, until it holds or `timeout` passes; the outcome of
// the last poll.
inline bool Eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = 10s,
                       std::chrono::steady_clock::duration pause = 1ms) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(pause);
  }
  return true;
}

// How often the game drives the store at most: at each frame, 30 a second.
inline constexpr std::chrono::steady_clock::duration kFramePace =
    std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(1.0 / 30));

// A store and the memory of the players here, driven as the plug-in's callbacks drive
// them: one short turn at a time, each one timed. The turns come a millisecond apart,
// so that the tests of what the store does settle quickly; a test of how long a turn
// takes sets the game's pace (kFramePace), where more waits in the socket at each turn.
class DrivenStore {
 public:
  DrivenStore(const StorageSettings& settings, ReportLog& log,
              const StoreOptions& options = QuickOptions())
      : store_(std::make_unique<OptOutStore>(settings, log.Sink(), options)) {}
  // A server of a cluster, by this name.
  DrivenStore(const StorageSettings& settings, ReportLog& log, ClusterIdentity identity,
              const StoreOptions& options = QuickOptions())
      : cluster_(std::move(identity)),
        store_(std::make_unique<OptOutStore>(settings, log.Sink(), options)) {}

  void SetPace(std::chrono::steady_clock::duration pause) { pause_ = pause; }

  void Turn() {
    const auto started = std::chrono::steady_clock::now();
    store_->Pump(memory_, greeted_, cluster_);
    longest_turn_ = std::max(longest_turn_, std::chrono::steady_clock::now() - started);
  }
  // Turns until nothing is left to do; false if that did not happen within `timeout`.
  bool Settle(std::chrono::milliseconds timeout = 10s) {
    return Eventually(
        [&] {
          Turn();
          return store_->IsIdle(memory_, greeted_, cluster_);
        },
        timeout, pause_);
  }
  // Turns until `condition` holds; false if that did not happen within `timeout`.
  bool TurnUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s) {
    return Eventually(
        [&] {
          Turn();
          return condition();
        },
        timeout, pause_);
  }
  // Turns for a while, whatever happens meanwhile.
  void TurnFor(std::chrono::milliseconds duration) {
    TurnUntil([] { return false; }, duration);
  }

  // The players here: asked about, and answered once the store has settled.
  void Ask(std::string_view key) { memory_.Ask(key, Now()); }
  bool AskAndSettle(std::string_view key) {
    Ask(key);
    Settle();
    return IsOptedOut(key);
  }
  bool IsOptedOut(std::string_view key) const { return memory_.IsOptedOut(key, Now(), 5s); }
  bool Toggle(std::string_view key) { return memory_.Toggle(key); }

  ChoiceMemory& Memory() { return memory_; }
  SeenMemory& Greeted() { return greeted_; }
  ClusterMemory& Cluster() { return cluster_; }
  OptOutStore& Store() { return *store_; }
  // Drops the store without waiting, keeping the memory (a reload to another storage).
  void Replace(const StorageSettings& settings, ReportLog& log,
               const StoreOptions& options = QuickOptions()) {
    store_ = std::make_unique<OptOutStore>(settings, log.Sink(), options);
  }
  std::chrono::steady_clock::duration LongestTurn() const { return longest_turn_; }
  void ResetLongestTurn() { longest_turn_ = {}; }

 private:
  static ChoiceMemory::Moment Now() { return std::chrono::steady_clock::now().time_since_epoch(); }

  ChoiceMemory memory_;
  SeenMemory greeted_;
  ClusterMemory cluster_;
  std::unique_ptr<OptOutStore> store_;
  std::chrono::steady_clock::duration pause_ = 1ms;
  std::chrono::steady_clock::duration longest_turn_{};
};

// What no callback may spend in the storage, with room for a slow, shared test machine.
inline constexpr auto kGenerousTurnBound = 50ms;

// One MariaDB server for the whole test process, started on first use and stopped at
// exit; each test takes a database of its own. Null with `failure` set when the server
// cannot be started.
inline MariaDbServer* SharedMariaDbServer(std::string& failure) {
  static std::variant<std::unique_ptr<MariaDbServer>, std::string> launched =
      MariaDbServer::Launch();
  if (auto* server = std::get_if<std::unique_ptr<MariaDbServer>>(&launched)) return server->get();
  failure = std::get<std::string>(launched);
  return nullptr;
}

// Settings for an empty database of its own on the shared server, or a failure text.
inline std::variant<StorageSettings, std::string> FreshMySqlDatabase() {
  static int databases = 0;
  std::string failure;
  MariaDbServer* server = SharedMariaDbServer(failure);
  if (server == nullptr) return "cannot start the MariaDB server the test needs: " + failure;
  const std::string name = "bellwright_test_" + std::to_string(++databases);
  if (auto settings = server->CreateDatabase(name)) return *settings;
  return "cannot create the database " + name;
}

}  // namespace Bellwright::Storage::Testing
