#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "config/storage_settings.hpp"
#include "host/fstring.hpp"
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
  // Whether the choices kept at the last unload have been taken into the memory, and
  // whether their file still waits to be removed once they are written.
  bool kept_choices_taken = false;
  bool kept_file_left = false;
  bool kept_greetings_left = false;
};

// Made on first use: the library's start-up runs before its other static objects are
// constructed.
State& TheState();

// The storage's key for a player: the id folded as the engine compares ids.
std::string_view Key(const FString& unique_id);

// The host's clock, as the memory counts time.
Storage::ChoiceMemory::Moment Now();

}  // namespace Bellwright::OptOut
