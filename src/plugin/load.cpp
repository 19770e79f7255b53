#include "plugin/load.hpp"

#include <fmt/format.h>

#include <array>
#include <exception>
#include <string>
#include <utility>

#include "announcements/announcements.hpp"
#include "base/host_boundary.hpp"
#include "base/log.hpp"
#include "base/text.hpp"
#include "commands/commands.hpp"
#include "config/config.hpp"
#include "config_checks/finding_summary.hpp"
#include "countdown/countdown.hpp"
#include "custom_commands/custom_commands.hpp"
#include "delivery/delivery.hpp"
#include "opt_out/opt_out_storage.hpp"
#include "opt_out/player_opt_out.hpp"
#include "plugin/cluster_arrivals.hpp"
#include "plugin/game_hooks.hpp"
#include "plugin/preview.hpp"
#include "plugin/status.hpp"
#include "welcome/welcome.hpp"

namespace Bellwright {
namespace {

// A stage that cannot start (no configuration file) stops the start-up there.
enum class Started { kYes, kStopHere };

// A reload in the making: the new file and what the owners built from it, nothing of
// it in use yet.
struct PendingReload {
  LoadedConfig config;
  CustomCommandTable custom_commands;
  // Why an owner refused the file, for the reply.
  std::string refusal;
};

// One owner of live state. A reload first lets every owner prepare from the new file
// what may fail on it, touching nothing live (false refuses the file); then it
// reconfigures them all. Owners a reload leaves alone have neither.
struct Owner {
  const char* name;
  Started (*start)();
  bool (*prepare)(PendingReload&);
  void (*reconfigure)(PendingReload&);
  void (*stop)();
};

template <void (*Start)()>
Started Always() {
  Start();
  return Started::kYes;
}

void UseLiveServerName() {
  UseServerName(FromUtf8(LiveSettings().general.server_name));
}

Started ConfigurationRead() {
  if (!StartConfig()) {
    return Started::kStopHere;
  }
  UseLiveServerName();
  return Started::kYes;
}

void UseNewConfiguration(PendingReload& reload) {
  UseConfig(std::move(reload.config));
  UseLiveServerName();
}

void StopConfiguration() {
  StopConfig();
  UseServerName(FString());
}

void ReconfigureOptOutFromFile(PendingReload& /*reload*/) {
  ReconfigureOptOut();
}

// The commands that see and steer the plug-in run the owners' own functions.
constexpr SteeringWork kSteering{
    .status = &StatusLines,
    .pause = &PauseAnnouncements,
    .resume = &ResumeAnnouncements,
    .skip = &SkipAnnouncement,
    .next = &NextAnnouncements,
    .preview = &PreviewByName,
    .start_countdown = &StartCountdown,
    .cancel_countdown = &CancelCountdown,
};

Started AdministrativeCommands() {
  RegisterAdministrativeCommands(&ReloadConfiguration, kSteering);
  return Started::kYes;
}

void ResumePausedAnnouncements(PendingReload& /*reload*/) {
  ResumeAnnouncementsAfterReload();
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

// A new file whose custom commands cannot be read is refused whole.
bool BuildCustomCommands(PendingReload& reload) {
  try {
    reload.custom_commands = BuildCustomCommandTable(reload.config.Settings().custom_commands);
    return true;
  } catch (const std::exception& error) {
    const std::string& where = reload.config.CustomCommandsFailure();
    reload.refusal = fmt::format("custom commands not loaded: {}{}{}", where,
                                 where.empty() ? "" : ": ", error.what());
    Log::Error("Reload failed, the previous file stays in use: {}", reload.refusal);
    return false;
  }
}

void InstallNewCustomCommands(PendingReload& reload) {
  InstallCustomCommands(std::move(reload.custom_commands));
}

void ReconfigureAnnouncementsFromFile(PendingReload& /*reload*/) {
  ReconfigureAnnouncements();
}

constexpr std::array<Owner, 12> kOwners{{
    {"logger", &Always<Log::Start>, nullptr, nullptr, &Log::Stop},
    {"configuration", &ConfigurationRead, nullptr, &UseNewConfiguration, &StopConfiguration},
    {"opt-out storage", &Always<StartOptOut>, nullptr, &ReconfigureOptOutFromFile, &StopOptOut},
    {"administrative commands", &AdministrativeCommands, nullptr, nullptr,
     &RemoveAdministrativeCommands},
    {"welcome queue", &Always<StartWelcomeQueue>, nullptr, nullptr, &StopWelcomeQueue},
    {"timed messages", &Always<StartTimedMessages>, nullptr, nullptr, &StopTimedMessages},
    {"announcements", &Always<StartAnnouncements>, nullptr, &ReconfigureAnnouncementsFromFile,
     &StopAnnouncements},
    {"announcement pauses", &Always<StartAnnouncementPauses>, nullptr, &ResumePausedAnnouncements,
     &StopAnnouncementPauses},
    {"restart countdown", &Always<StartRestartCountdowns>, nullptr, nullptr,
     &StopRestartCountdowns},
    {"cluster arrivals", &Always<StartClusterArrivals>, nullptr, nullptr, &StopClusterArrivals},
    {"hooks", &Always<InstallHooks>, nullptr, nullptr, &RemoveHooks},
    {"custom commands", &CustomCommandsIfReadable, &BuildCustomCommands, &InstallNewCustomCommands,
     &StopCustomCommands},
}};

bool PrepareEveryOwner(PendingReload& reload) {
  for (const Owner& owner : kOwners) {
    if (owner.prepare != nullptr && !owner.prepare(reload)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void Load() {
  for (const Owner& owner : kOwners) {
    Started started = Started::kStopHere;
    RunGuarded(owner.name, [&] { started = owner.start(); });
    if (started == Started::kStopHere) {
      return;
    }
  }
}

// Stopping what never started is harmless: the host ignores removing a name it does
// not hold, and the owners' state is simply empty.
void Unload() {
  for (auto owner = kOwners.rbegin(); owner != kOwners.rend(); ++owner) {
    RunGuarded(owner->name, owner->stop);
  }
}

CommandOutcome ReloadConfiguration() {
  try {
    ConfigRead read = ReadConfigFile();
    if (!read.config) {
      Log::Error("Reload failed, the previous file stays in use: {}", read.failure);
      return CommandOutcome::Failure(read.failure);
    }
    PendingReload reload{std::move(*read.config), {}, {}};
    if (!PrepareEveryOwner(reload)) {
      return CommandOutcome::Failure(reload.refusal);
    }
    // Everything that can fail on bad input has run: from here the swap is made.
    for (const Owner& owner : kOwners) {
      if (owner.reconfigure != nullptr) {
        owner.reconfigure(reload);
      }
    }
    return {true, ConfigCheck::SummaryLines(ConfigFileName(), LiveFindings())};
  } catch (const std::exception& error) {
    Log::Error("Reload failed: {}", error.what());
    return CommandOutcome::Failure(error.what());
  }
}

}  // namespace Bellwright
