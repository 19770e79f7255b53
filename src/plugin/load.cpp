#include "plugin/load.hpp"

#include <array>
#include <exception>
#include <string>

#include "automatic/automatic.hpp"
#include "base/host_boundary.hpp"
#include "base/log.hpp"
#include "commands/commands.hpp"
#include "config/config.hpp"
#include "custom_commands/custom_commands.hpp"
#include "opt_out/opt_out_storage.hpp"

namespace Bellwright {
namespace {

// A stage that cannot start (no configuration file) stops the start-up there.
enum class Started { kYes, kStopHere };

struct Stage {
  const char* name;
  Started (*start)();
  void (*stop)();
};

template <void (*Start)()>
Started Always() {
  Start();
  return Started::kYes;
}

Started ConfigurationRead() {
  return StartConfig() ? Started::kYes : Started::kStopHere;
}

// The administrative commands, the hooks and the opt-out command stay when the custom
// commands cannot be read: bw.reload can bring in a mended file.
Started CustomCommandsIfReadable() {
  try {
    StartCustomCommands();
  } catch (const std::exception& error) {
    const std::string& where = LiveCustomCommandsFailure();
    if (where.empty()) {
      Log::Error("Custom commands not loaded: {}", error.what());
    } else {
      Log::Error("Custom commands not loaded: {}: {}", where, error.what());
    }
    // The announcements still tell players to type the opt-out command: it stays.
    InstallCustomCommands({});
  }
  return Started::kYes;
}

constexpr std::array<Stage, 8> kStages{{
    {"logger", &Always<Log::Start>, &Log::Stop},
    {"configuration", &ConfigurationRead, &StopConfig},
    {"opt-out storage", &Always<StartOptOut>, &StopOptOut},
    {"administrative commands", &Always<RegisterAdministrativeCommands>,
     &RemoveAdministrativeCommands},
    {"welcome queue", &Always<StartWelcomeQueue>, &StopWelcomeQueue},
    {"timed messages", &Always<StartTimedMessages>, &StopTimedMessages},
    {"hooks", &Always<InstallHooks>, &RemoveHooks},
    {"custom commands", &CustomCommandsIfReadable, &StopCustomCommands},
}};

}  // namespace

void Load() {
  for (const Stage& stage : kStages) {
    Started started = Started::kStopHere;
    RunGuarded(stage.name, [&] { started = stage.start(); });
    if (started == Started::kStopHere) {
      return;
    }
  }
}

// Stopping what never started is harmless: the host ignores removing a name it does
// not hold, and the owners' state is simply empty.
void Unload() {
  for (auto stage = kStages.rbegin(); stage != kStages.rend(); ++stage) {
    RunGuarded(stage->name, stage->stop);
  }
}

}  // namespace Bellwright
