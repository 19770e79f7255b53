#include "opt_out/opt_out_storage.hpp"

#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "base/log.hpp"
#include "base/platform_text.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "config/server_filter.hpp"
#include "delivery/world_players.hpp"
#include "host/tools.hpp"
#include "opt_out/cluster_link.hpp"
#include "opt_out/kept_choices_file.hpp"
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

void Use(OptOutSettings settings) {
  if (!settings.storage.storage && !settings.command.IsEmpty()) {
    Log::Error(
        "Storage type \"{}\" is not \"SQLite\" or \"MySQL\": timed-message opt-outs are kept in "
        "memory only",
        settings.storage.unknown_type);
  }
  if (!settings.storage.storage && settings.first_join) {
    Log::Error(
        "Storage type \"{}\" is not \"SQLite\" or \"MySQL\": greeted players are not kept, so "
        "nobody gets the FirstJoinMessage",
        settings.storage.unknown_type);
  }
  TheState().cluster = ClusterMemoryFor(settings.server_name);
  TheState().settings = std::move(settings);
}

// Everyone here is asked about, as if they had just joined.
void AskEveryoneHere() {
  ForEachConnectedPlayer(GameWorld(), [](AShooterPlayerController* player) {
    TheState().memory.Ask(OptOut::Key(player->GetUniqueNetIdAsString()), OptOut::Now());
  });
}

void TakeKeptChoices() {
  OptOut::State& state = TheState();
  if (state.kept_choices_taken) {
    return;
  }
  state.kept_choices_taken = true;
  const auto kept = ReadKeptChoices();
  state.memory.AddUnwritten(kept);
  state.kept_file_left = !kept.empty();
  const auto greetings = ReadKeptGreetings();
  state.greeted.AddUnrecorded(greetings);
  state.kept_greetings_left = !greetings.empty();
}

// Once everything is written, nothing kept is left to write.
void DropKeptChoicesWhenWritten() {
  OptOut::State& state = TheState();
  if (state.kept_file_left && !state.memory.HasUnwritten()) {
    state.kept_file_left = false;
    KeepChoices({});
  }
  if (state.kept_greetings_left && !state.greeted.HasUnrecorded()) {
    state.kept_greetings_left = false;
    KeepGreetings({});
  }
}

// Tells where what the storage had not taken waits for the next start, or why it
// could not be kept.
void ReportKept(std::size_t count, std::string_view what, std::string_view done_then,
                const std::string& path, const std::string& failure) {
  if (!failure.empty()) {
    Log::Error("{} {} could not be kept in {}: {}", count, what, path, failure);
  } else if (count > 0) {
    Log::Warning("{} {} are kept in {} and {} at the next start", count, what, path, done_then);
  }
}

void KeepWhatIsNotStored() {
  OptOut::State& state = TheState();
  // A storage the plug-in does not know keeps choices for the session only, as the log
  // said; choices kept from an earlier start, not yet taken, stay in their file.
  const bool memory_only = state.settings && !state.settings->storage.storage;
  if (!state.kept_choices_taken || memory_only) {
    return;
  }
  const auto unwritten = state.memory.Unwritten();
  ReportKept(unwritten.size(), "timed-message opt-out choice(s) not yet written", "written",
             KeptChoicesFilePath(), KeepChoices(unwritten));
  const auto unrecorded = state.greeted.TakeBatch(std::numeric_limits<std::size_t>::max());
  ReportKept(unrecorded.size(), "greeting(s) not yet recorded", "recorded", KeptGreetingsFilePath(),
             KeepGreetings(unrecorded));
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
  TakeKeptChoices();
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
  CloseStore();
  KeepWhatIsNotStored();
  OptOut::State& state = TheState();
  state.settings.reset();
  state.memory = {};
  state.greeted = {};
  state.cluster = {};
  state.kept_choices_taken = false;
  state.kept_file_left = false;
  state.kept_greetings_left = false;
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
  DropKeptChoicesWhenWritten();
  if (state.store->HasWorkForNextFrame(state.memory, state.greeted, state.cluster)) {
    DriveStorageAtNextFrame();
  }
}

}  // namespace Bellwright
