#include "opt_out/player_opt_out.hpp"

#include <fmt/chrono.h>
#include <fmt/format.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/clock_ticks.hpp"
#include "base/log.hpp"
#include "base/text.hpp"
#include "base/unicode.hpp"
#include "config/config.hpp"
#include "delivery/world_players.hpp"
#include "host/tools.hpp"
#include "storage/opt_out_store.hpp"

namespace Bellwright {
namespace {

using Storage::StorageSettings;

// What the configuration asks for, compared at a reload to see whether it changed.
struct OptOutSettings {
  FString command;
  // Empty: the storage named is not one the plug-in knows; choices stay in memory.
  std::optional<StorageSettings> storage;
  std::string storage_error;
};

bool SameStorage(const std::optional<StorageSettings>& a, const std::optional<StorageSettings>& b) {
  if (!a || !b) {
    return !a && !b;
  }
  return a->kind == b->kind && a->sqlite_path == b->sqlite_path && a->host == b->host &&
         a->port == b->port && a->user == b->user && a->password == b->password &&
         a->database == b->database;
}

// The worker reports from its own thread; the host's log sinks belong to the game
// thread, so lines wait here until the game thread passes by.
class ReportQueue {
 public:
  void Add(Storage::Severity severity, std::string line) {
    const std::scoped_lock lock(mutex_);
    lines_.emplace_back(severity, std::move(line));
  }
  std::vector<std::pair<Storage::Severity, std::string>> Take() {
    const std::scoped_lock lock(mutex_);
    return std::exchange(lines_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<Storage::Severity, std::string>> lines_;
};

// Made on first use: the library's start-up runs before its other static objects are
// constructed.
struct OptOutState {
  std::optional<OptOutSettings> settings;  // empty while the feature is off
  std::unique_ptr<Storage::OptOutStore> store;
  std::set<std::string> memory_only;  // choices when no storage could be named
  ReportQueue reports;
  // Host-clock ticks at the game thread's first word of the storage failing; empty
  // while it works.
  std::optional<std::int64_t> failing_since;
};

OptOutState& State() {
  static OptOutState state;
  return state;
}

OptOutSettings ReadStorage(const nlohmann::json& bellwright, FString command) {
  OptOutSettings settings{std::move(command), StorageSettings{}, {}};
  const nlohmann::json& storage = Settings::SectionOrEmpty(bellwright, "Storage");
  const auto type = Settings::ValueOr<std::string>(storage, "Type", "SQLite");
  if (type == "SQLite") {
    settings.storage->sqlite_path = PluginFolderPath() + "/bellwright.sqlite";
  } else if (type == "MySQL") {
    settings.storage->kind = StorageSettings::Kind::kMySql;
    settings.storage->host = Settings::ValueOr<std::string>(storage, "Host", "127.0.0.1");
    settings.storage->port =
        static_cast<unsigned>(Settings::WholeNumberOr(storage, "Port", 3306, 1, 65535));
    settings.storage->user = Settings::ValueOr<std::string>(storage, "User", "");
    settings.storage->password = Settings::ValueOr<std::string>(storage, "Password", "");
    settings.storage->database = Settings::ValueOr<std::string>(storage, "Database", "");
  } else {
    settings.storage.reset();
    settings.storage_error = type;
  }
  return settings;
}

// Empty while the configuration names no opt-out command.
std::optional<OptOutSettings> ReadSettings() {
  const nlohmann::json& document = ConfigDocument();
  const nlohmann::json& timed = Settings::SectionOrEmpty(document, "TimedMessages");
  const auto command = Settings::ValueOr<std::string>(timed, "OptOutCommand", "");
  if (command.empty()) {
    return std::nullopt;
  }
  return ReadStorage(Settings::SectionOrEmpty(document, "Bellwright"), FromUtf8(command));
}

void Open(OptOutSettings settings) {
  OptOutState& state = State();
  if (settings.storage) {
    state.store = Storage::OptOutStore::Start(
        *settings.storage, [&state](Storage::Severity severity, const std::string& line) {
          state.reports.Add(severity, line);
        });
  } else {
    Log::Error(
        "Storage type \"{}\" is not \"SQLite\" or \"MySQL\": timed-message opt-outs are kept in "
        "memory only",
        settings.storage_error);
  }
  state.settings = std::move(settings);
  DeliverStorageReports();
}

void Close() {
  OptOutState& state = State();
  if (state.store) {
    state.store->Stop();
    state.store.reset();
  }
  state.settings.reset();
  state.memory_only.clear();
  DeliverStorageReports();
  state.failing_since.reset();
}

// The storage's key for a player: the id folded as the engine compares ids. Asked for
// every player of every timed message, so one buffer serves all (the game thread is the
// only caller).
std::string_view Key(const FString& unique_id) {
  static std::string buffer;
  Unicode::CaseFoldedUtf8(unique_id.Wide(), buffer);
  return buffer;
}

}  // namespace

void StartOptOut() {
  if (auto settings = ReadSettings()) {
    Open(std::move(*settings));
  }
}

void StopOptOut() {
  Close();
}

void ReconfigureOptOut() {
  auto wanted = ReadSettings();
  OptOutState& state = State();
  if (!wanted) {
    Close();
    return;
  }
  if (state.settings && SameStorage(state.settings->storage, wanted->storage)) {
    state.settings->command = wanted->command;
    return;
  }
  Close();
  Open(std::move(*wanted));
}

bool OptOutActive() {
  return State().settings.has_value();
}

std::optional<FString> ConfiguredOptOutCommand() {
  const OptOutState& state = State();
  if (!state.settings) {
    return std::nullopt;
  }
  return state.settings->command;
}

bool IsOptedOut(const FString& unique_id) {
  const OptOutState& state = State();
  if (!state.settings) {
    return false;
  }
  const std::string_view key = Key(unique_id);
  return state.store ? state.store->IsOptedOut(key) : state.memory_only.contains(std::string(key));
}

bool AnyOptedOut(std::span<const FString> unique_ids) {
  const OptOutState& state = State();
  if (!state.settings) {
    return false;
  }
  for (const FString& unique_id : unique_ids) {
    if (IsOptedOut(unique_id)) {
      return true;
    }
  }
  return false;
}

bool ToggleOptOut(const FString& unique_id) {
  OptOutState& state = State();
  const std::string key(Key(unique_id));
  if (state.store) {
    return state.store->Toggle(key);
  }
  if (state.memory_only.erase(key) > 0) {
    return false;
  }
  state.memory_only.insert(key);
  return true;
}

void RefreshOptOut(const FString& unique_id) {
  OptOutState& state = State();
  if (state.store) {
    state.store->Refresh(Key(unique_id));
  }
}

void DeliverStorageReports() {
  OptOutState& state = State();
  for (auto& [severity, line] : state.reports.Take()) {
    // The storage reports once when it stops working and once when it works again.
    if (severity == Storage::Severity::kError && !state.failing_since) {
      state.failing_since = AsaApi::Tools::GetSystemClockTicks();
    } else if (severity == Storage::Severity::kInfo) {
      state.failing_since.reset();
    }
    switch (severity) {
      case Storage::Severity::kInfo:
        Log::Info("{}", line);
        break;
      case Storage::Severity::kWarning:
        Log::Warning("{}", line);
        break;
      case Storage::Severity::kError:
        Log::Error("{}", line);
        break;
    }
  }
}

std::string PlayersStatusLine() {
  int connected = 0;
  int opted_out = 0;
  ForEachConnectedPlayer(GameWorld(), [&](AShooterPlayerController* player) {
    ++connected;
    opted_out += IsOptedOut(player->GetUniqueNetIdAsString()) ? 1 : 0;
  });
  return fmt::format("players: {} connected, {} of them opted out of timed messages", connected,
                     opted_out);
}

std::string StorageStatusLine() {
  const OptOutState& state = State();
  if (!state.settings) {
    return "storage: none (no OptOutCommand)";
  }
  if (!state.store) {
    return "storage: in memory only (the storage type is unknown)";
  }
  if (!state.failing_since) {
    return fmt::format("storage: {}, working", state.store->StorageName());
  }
  const std::chrono::sys_seconds since{
      std::chrono::seconds(*state.failing_since / kClockTicksPerSecond)};
  return fmt::format("storage: {}, failing since {:%Y-%m-%d %H:%M:%S} UTC (the log says why)",
                     state.store->StorageName(), since);
}

}  // namespace Bellwright
