// How fast the worker writes toggles to each database, and what the game thread pays.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "mariadb_server.hpp"
#include "storage/opt_out_store.hpp"
#include "temporary_folder.hpp"

namespace Bellwright::Storage {
namespace {

using namespace std::chrono_literals;
using Testing::MariaDbServer;
using Testing::TemporaryFolder;

struct Storage {
  std::unique_ptr<TemporaryFolder> folder;
  std::unique_ptr<MariaDbServer> server;
  StorageSettings settings;
};

Storage SqliteStorage() {
  Storage storage;
  storage.folder = std::make_unique<TemporaryFolder>();
  storage.settings.sqlite_path = (storage.folder->Path() / "bellwright.sqlite").string();
  return storage;
}

// Empty when the server cannot be started; the benchmark then reports the error.
std::optional<Storage> MySqlStorage(std::string& failure) {
  auto launched = MariaDbServer::Launch();
  if (auto* text = std::get_if<std::string>(&launched)) {
    failure = *text;
    return std::nullopt;
  }
  Storage storage;
  storage.server = std::move(std::get<std::unique_ptr<MariaDbServer>>(launched));
  auto settings = storage.server->CreateDatabase("bellwright_bench");
  if (!settings) {
    failure = "cannot create the benchmark's database";
    return std::nullopt;
  }
  storage.settings = *settings;
  return storage;
}

std::vector<std::string> PlayerKeys(int count) {
  std::vector<std::string> keys;
  keys.reserve(count);
  for (int i = 0; i < count; ++i) keys.push_back("0002" + std::to_string(100000 + i));
  return keys;
}

// Each round toggles `range(0)` players at once and waits until the worker has written
// them all: with one player a round, the cost of one transaction; with many, how fast a
// burst drains.
void WriteThroughput(benchmark::State& state, const StorageSettings& settings) {
  const std::vector<std::string> keys = PlayerKeys(static_cast<int>(state.range(0)));
  auto store = OptOutStore::Start(settings, {});
  for (auto _ : state) {
    for (const std::string& key : keys) store->Toggle(key);
    if (!store->WaitUntilIdle(60s)) {
      state.SkipWithError("the worker did not write the toggles");
      break;
    }
  }
  // items_per_second: toggles written per second.
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SqliteWriteThroughput(benchmark::State& state) {
  const Storage storage = SqliteStorage();
  WriteThroughput(state, storage.settings);
}
BENCHMARK(BM_SqliteWriteThroughput)
    ->Arg(1)
    ->Arg(1000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// One server for every run of the benchmark (Google Benchmark calls it several times),
// stopped at exit.
const Storage* SharedMySqlStorage(std::string& failure) {
  static std::string launch_failure;
  static const std::optional<Storage> storage = MySqlStorage(launch_failure);
  failure = launch_failure;
  return storage ? &*storage : nullptr;
}

void BM_MySqlWriteThroughput(benchmark::State& state) {
  std::string failure;
  const Storage* storage = SharedMySqlStorage(failure);
  if (storage == nullptr) {
    state.SkipWithError(failure.c_str());
    return;
  }
  WriteThroughput(state, storage->settings);
}
BENCHMARK(BM_MySqlWriteThroughput)->Arg(1)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

// The game thread's side of a toggle: memory and a wake-up of the worker, never the
// database.
void BM_ToggleOnTheGameThread(benchmark::State& state) {
  const Storage storage = SqliteStorage();
  auto store = OptOutStore::Start(storage.settings, {});
  const std::vector<std::string> keys = PlayerKeys(100);
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(store->Toggle(keys[next]));
    next = (next + 1) % keys.size();
  }
}
BENCHMARK(BM_ToggleOnTheGameThread);

// What a timed message asks before it goes out: has anyone of 100 players opted out?
void BM_AnyOptedOutAmongOneHundred(benchmark::State& state) {
  const Storage storage = SqliteStorage();
  auto store = OptOutStore::Start(storage.settings, {});
  const std::vector<std::string> keys = PlayerKeys(100);
  for (int i = 0; i < state.range(0); ++i) store->Toggle(keys[90 + i]);
  for (auto _ : state) benchmark::DoNotOptimize(store->AnyOptedOut(keys));
}
BENCHMARK(BM_AnyOptedOutAmongOneHundred)->Arg(0)->Arg(10);

}  // namespace
}  // namespace Bellwright::Storage
