// What the game thread pays for the storage: how fast toggles reach each database when
// the store is driven turn by turn, and what a load, a reconnect and one timer turn cost
// with a hundred or a million choices stored.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "mariadb_server.hpp"
#include "storage/choice_memory.hpp"
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

// One server for every run of the benchmarks (Google Benchmark calls them several
// times), stopped at exit.
const Storage* SharedMySqlStorage(std::string& failure) {
  static std::string launch_failure;
  static const std::optional<Storage> storage = MySqlStorage(launch_failure);
  failure = launch_failure;
  return storage ? &*storage : nullptr;
}

std::vector<std::string> PlayerKeys(int count) {
  std::vector<std::string> keys;
  keys.reserve(count);
  for (int i = 0; i < count; ++i) keys.push_back("0002" + std::to_string(100000 + i));
  return keys;
}

ChoiceMemory::Moment Now() {
  return std::chrono::steady_clock::now().time_since_epoch();
}

// Turns until the store has nothing left to do, as the game thread's callbacks would,
// only faster.
bool Settle(OptOutStore& store, ChoiceMemory& memory) {
  SeenMemory greeted;
  ClusterMemory cluster;
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!store.IsIdle(memory, greeted, cluster)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    store.Pump(memory, greeted, cluster);
    if (!store.IsIdle(memory, greeted, cluster)) std::this_thread::sleep_for(50us);
  }
  return true;
}

// Each round toggles `range(0)` players at once and drives the store until they are all
// written: with one player a round, the cost of one transaction; with many, how fast a
// burst drains.
void WriteThroughput(benchmark::State& state, const StorageSettings& settings) {
  const std::vector<std::string> keys = PlayerKeys(static_cast<int>(state.range(0)));
  ChoiceMemory memory;
  OptOutStore store(settings, {});
  for (auto _ : state) {
    for (const std::string& key : keys) memory.Toggle(key);
    if (!Settle(store, memory)) {
      state.SkipWithError("the store did not write the toggles");
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

// `count` choices of players who are not here, written straight into the table.
void FillSqlite(const StorageSettings& settings, long count) {
  {
    ChoiceMemory memory;
    OptOutStore store(settings, {});
    memory.Toggle("creates-the-table");
    Settle(store, memory);
  }
  sqlite3* connection = nullptr;
  sqlite3_open(settings.sqlite_path.c_str(), &connection);
  sqlite3_exec(connection, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(connection,
                     "INSERT OR REPLACE INTO bellwright_timed_message_opt_out VALUES (?1, 1)", -1,
                     &insert, nullptr);
  for (long i = 0; i < count; ++i) {
    const std::string key = "stored-" + std::to_string(i);
    sqlite3_bind_text(insert, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(connection, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(connection);
}

std::optional<std::string> FillMySql(const Storage& storage, long count) {
  {
    ChoiceMemory memory;
    OptOutStore store(storage.settings, {});
    memory.Toggle("creates-the-table");
    Settle(store, memory);
  }
  const std::string table = "`" + storage.settings.database + "`.bellwright_timed_message_opt_out";
  if (auto failure = storage.server->ExecuteAsRoot("DELETE FROM " + table)) return failure;
  return storage.server->ExecuteAsRoot(
      "INSERT INTO " + table + " SELECT CONCAT('stored-', seq), 1 FROM `" +
      storage.settings.database + "`.seq_1_to_" + std::to_string(count));
}

enum class Moment { kLoad, kReconnect, kTimerTurn };

// A hundred players here, `range(0)` choices stored. A load makes a store and asks about
// everyone here; a reconnect asks them again on a new connection; a timer turn is what
// one call of the game's timer pays when nothing is under way, with every player looked
// up as a timed message does.
void WithStoredChoices(benchmark::State& state, const StorageSettings& settings, Moment moment) {
  const std::vector<std::string> here = PlayerKeys(100);
  ChoiceMemory memory;
  SeenMemory greeted;
  ClusterMemory cluster;
  auto store = std::make_unique<OptOutStore>(settings, Reporter{});
  for (const std::string& key : here) memory.Ask(key, Now());
  if (!Settle(*store, memory)) state.SkipWithError("the store did not answer");
  for (auto _ : state) {
    switch (moment) {
      case Moment::kLoad:
        memory = {};
        store = std::make_unique<OptOutStore>(settings, Reporter{});
        for (const std::string& key : here) memory.Ask(key, Now());
        Settle(*store, memory);
        break;
      case Moment::kReconnect:
        store = std::make_unique<OptOutStore>(settings, Reporter{});
        memory.AskEveryoneAgain();
        Settle(*store, memory);
        break;
      case Moment::kTimerTurn:
        store->Pump(memory, greeted, cluster);
        for (const std::string& key : here) {
          benchmark::DoNotOptimize(memory.IsOptedOut(key, Now(), 5s));
        }
        break;
    }
  }
}

void StoredChoicesArguments(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"stored"})->Arg(100)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
}

template <Moment kMoment>
void BM_SqliteWithStoredChoices(benchmark::State& state) {
  static std::map<long, Storage> filled;
  auto [entry, fresh] = filled.try_emplace(state.range(0));
  if (fresh) {
    entry->second = SqliteStorage();
    FillSqlite(entry->second.settings, state.range(0));
  }
  WithStoredChoices(state, entry->second.settings, kMoment);
}
BENCHMARK(BM_SqliteWithStoredChoices<Moment::kLoad>)->Apply(StoredChoicesArguments);
BENCHMARK(BM_SqliteWithStoredChoices<Moment::kReconnect>)->Apply(StoredChoicesArguments);
BENCHMARK(BM_SqliteWithStoredChoices<Moment::kTimerTurn>)->Apply(StoredChoicesArguments);

template <Moment kMoment>
void BM_MySqlWithStoredChoices(benchmark::State& state) {
  std::string failure;
  const Storage* storage = SharedMySqlStorage(failure);
  if (storage == nullptr) {
    state.SkipWithError(failure.c_str());
    return;
  }
  static long filled_with = -1;
  if (filled_with != state.range(0)) {
    if (auto error = FillMySql(*storage, state.range(0))) {
      state.SkipWithError(error->c_str());
      return;
    }
    filled_with = state.range(0);
  }
  WithStoredChoices(state, storage->settings, kMoment);
}
BENCHMARK(BM_MySqlWithStoredChoices<Moment::kLoad>)->Apply(StoredChoicesArguments);
BENCHMARK(BM_MySqlWithStoredChoices<Moment::kReconnect>)->Apply(StoredChoicesArguments);
BENCHMARK(BM_MySqlWithStoredChoices<Moment::kTimerTurn>)->Apply(StoredChoicesArguments);

}  // namespace
}  // namespace Bellwright::Storage
