#include "opt_out/opt_out_storage.hpp"

#include <fmt/format.h>

#include <string>
#include <utility>
#include <vector>

#include "base/log.hpp"
#include "base/platform_text.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "config/server_filter.hpp"
#include "delivery/world_players.hpp"
#include "host/tools.hpp"
#include "opt_out/cluster_link.hpp"
#include "opt_out/kept_choices_file.hpp"
#include "opt_out/kept_entries.hpp"
#include "opt_out/opt_out_state.hpp"
#include "opt_out/storage_frames.hpp"

namespace Bellwright {
namespace {

using OptOut::OptOutSettings;
using OptOut::TheState;

void Report(Storage::Severity severity, const std::string& line) {
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

bool SameStorage(const StorageSetting& a, const StorageSetting& b) {
  if (!a.storage || !b.storage) {
    return !a.storage && !b.storage;
  }
  return *a.storage == *b.storage;
}

// The file "Path" names, a relative one in the plug-in's folder; without it,
// bellwright.sqlite there. Servers of one machine share one file by naming it.
std::string SqliteFilePath(const std::string& configured) {
  if (configured.empty()) {
    return Platform::Utf8FromPath(PluginFolderPath() / kSqliteFileName);
  }
  return Platform::Utf8FromPath(PluginFolderPath() / Platform::PathFromUtf8(configured));
}

// Empty while the configuration names neither an opt-out command, nor a first-join
// welcome, nor this server in a cluster. The SQLite file lies beside the configuration.
std::optional<OptOutSettings> ReadSettings() {
  const ConfigSettings& settings = LiveSettings();
  const std::string& command = settings.announcements.timed.opt_out_command;
  const bool first_join = !settings.welcome.first_join_message.empty();
  const std::string& server_name = settings.general.server_name;
  if (command.empty() && !first_join && server_name.empty()) {
    return std::nullopt;
  }
  StorageSetting storage = settings.storage;
  if (storage.storage && storage.storage->kind == Storage::StorageSettings::Kind::kSqlite) {
    storage.storage->sqlite_path = SqliteFilePath(storage.storage->sqlite_path);
  }
  if (storage.storage) {
    storage.storage->cluster = !server_name.empty();
  }
  return OptOutSettings{FromUtf8(command), first_join, std::move(storage), server_name};
}

Storage::ClusterMemory ClusterMemoryFor(const std::string& server_name) {
  if (server_name.empty()) {
    return {};
  }
  return Storage::ClusterMemory(Storage::ClusterIdentity{ServerNameKey(server_name), server_name});
}

// A storage the plug-in does not know keeps nothing of its own; what is not written yet
// waits for the next storage, or the kept file at the unload.
void Use(OptOutSettings settings) {
  OptOut::State& state = TheState();
  if (!settings.storage.storage) {
    const std::vector<Storage::StoredChoice> unwritten = state.memory.Unwritten();
    for (const Storage::StoredChoice& choice : unwritten) {
      state.meant_for_a_storage.insert(choice.player_key);
    }
    const std::size_t waiting = unwritten.size();
    const std::string waits = waiting == 0
                                  ? std::string()
                                  : fmt::format(
                                        "; the {} choice(s) not yet written wait for a storage the "
                                        "plug-in knows, or in {} at the unload",
                                        waiting, KeptFilePath(KeptFile::kChoices));
    if (!settings.command.IsEmpty()) {
      Log::Error(
          "Storage type \"{}\" is not \"SQLite\" or \"MySQL\": timed-message opt-outs are kept "
          "in memory only{}",
          settings.storage.unknown_type, waits);
    }
    if (settings.first_join) {
      Log::Error(
          "Storage type \"{}\" is not \"SQLite\" or \"MySQL\": greeted players are not kept, "
          "so nobody gets the FirstJoinMessage",
          settings.storage.unknown_type);
    }
  }
  state.cluster = ClusterMemoryFor(settings.server_name);
  state.settings = std::move(settings);
}

// Everyone here is asked about, as if they had just joined.
void AskEveryoneHere() {
  ForEachConnectedPlayer(GameWorld(), [](AShooterPlayerController* player) {
    TheState().memory.Ask(OptOut::Key(player->GetUniqueNetIdAsString()), OptOut::Now());
  });
}

void CloseStore() {
  // Drops the connection without waiting; an operation under way is abandoned and its
  // choices stay unwritten in the memory.
  TheState().store.reset();
  TheState().storage_set_up = false;
}

void OpenStore() {
  OptOut::State& state = TheState();
  state.storage_set_up = true;
  TakeKeptEntries();
  // Every storage used in this session gets this session's choices, so one used earlier
  // and again now cannot bring back an older choice.
  state.memory.WriteSessionChoicesAgain();
  AskEveryoneHere();
  const StorageSetting& setting = state.settings->storage;
  if (!setting.storage) {
    state.memory.AnswerUnansweredWithoutStorage();
    state.greeted.AnswerEveryoneGreetedBefore();
    return;
  }
  state.store = std::make_unique<Storage::OptOutStore>(*setting.storage, &Report);
}

void NoteWhenFailingBegan(OptOut::State& state) {
  if (!state.store->IsFailing()) {
    state.failing_since_ticks.reset();
  } else if (!state.failing_since_ticks) {
    state.failing_since_ticks = AsaApi::Tools::GetSystemClockTicks();
  }
}

}  // namespace

void StartOptOut() {
  if (auto settings = ReadSettings()) {
    Use(std::move(*settings));
    // Opened at the first frame after the load, before anyone joins.
    DriveStorageAtNextFrame();
  }
}

void StopOptOut() {
  StopStorageFrames();
  OptOut::State& state = TheState();
  if (state.store) {
    // The one moment the disk is waited for: what the storage took lasts a power cut.
    state.store->SettleOnDisk();
  }
  CloseStore();
  KeepWhatIsNotStored();
  state.settings.reset();
  state.memory = {};
  state.greeted = {};
  state.cluster = {};
  state.kept_taken = false;
  state.kept_files_stuck = false;
  state.meant_for_a_storage.clear();
  state.taken_choices.clear();
  state.taken_greetings.clear();
}

void ReconfigureOptOut() {
  auto wanted = ReadSettings();
  OptOut::State& state = TheState();
  if (!wanted) {
    CloseStore();
    state.settings.reset();
    return;
  }
  if (state.settings && SameStorage(state.settings->storage, wanted->storage) &&
      state.settings->server_name == wanted->server_name) {
    state.settings->command = wanted->command;
    state.settings->first_join = wanted->first_join;
    return;
  }
  CloseStore();
  Use(std::move(*wanted));
  DriveStorageAtNextFrame();
}

void DriveOptOutStorage() {
  OptOut::State& state = TheState();
  if (!state.settings) {
    return;
  }
  if (!state.storage_set_up) {
    OpenStore();
  }
  if (!state.store) {
    state.memory.AnswerUnansweredWithoutStorage();
    state.greeted.AnswerEveryoneGreetedBefore();
    return;
  }
  PrepareClusterReport();
  state.store->Pump(state.memory, state.greeted, state.cluster);
  HandleClusterArrivals();
  NoteWhenFailingBegan(state);
  DropKeptEntriesWhenWritten();
  if (state.store->HasWorkForNextFrame(state.memory, state.greeted, state.cluster)) {
    DriveStorageAtNextFrame();
  }
}

}  // namespace Bellwright
