#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "config/storage_settings.hpp"
#include "host/fstring.hpp"
#include "opt_out/kept_choices_file.hpp"
#include "storage/choice_memory.hpp"
#include "storage/cluster_memory.hpp"
#include "storage/opt_out_store.hpp"
#include "storage/seen_memory.hpp"

// What the opt-out's game-thread side and its storage lifecycle share; the game thread
// is its only user.
namespace Bellwright::OptOut {

// What the configuration asks for, compared at a reload to see whether it changed.
struct OptOutSettings {
  FString command;          // empty while only the first-join welcome keeps the storage
  bool first_join = false;  // a first-join welcome asks whether players were greeted
  StorageSetting storage;
  std::string server_name;  // this server in its cluster; empty outside one
};

struct State {
  // Empty while neither an opt-out command nor a first-join welcome keeps the storage.
  std::optional<OptOutSettings> settings;
  // Made at the first game-thread callback that drives the storage, never at load.
  std::unique_ptr<Storage::OptOutStore> store;
  Storage::ChoiceMemory memory;
  Storage::SeenMemory greeted;
  Storage::ClusterMemory cluster;
  // Whether the storage the settings name was set up since the start or the last move.
  bool storage_set_up = false;
  // The host's clock at the first turn that found the storage failing, while it fails.
  std::optional<std::int64_t> failing_since_ticks;
  // Whether what the kept files held has been taken into the memory, and what was taken:
  // a server takes out of the files only what it has written, once it has.
  bool kept_taken = false;
  KeptEntries taken_choices;
  KeptEntries taken_greetings;
  // A kept file could not be brought up to date in the session: left for the unload.
  bool kept_files_stuck = false;
  // Players whose unwritten choice was meant for a storage: made while one was set, or
  // taken from a kept file. A storage type the plug-in does not know keeps the choices
  // made under it for the session only, but these for the kept file at the unload.
  std::set<std::string, std::less<>> meant_for_a_storage;
};

// Made on first use: the library's start-up runs before its other static objects are
// constructed.
State& TheState();

// The storage's key for a player: the id folded as the engine compares ids.
std::string_view Key(const FString& unique_id);

// The host's clock, as the memory counts time.
Storage::ChoiceMemory::Moment Now();

}  // namespace Bellwright::OptOut
