#include "commands/reload.hpp"

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "base/log.hpp"
#include "commands/reply.hpp"
#include "config/config.hpp"
#include "custom_commands/custom_commands.hpp"
#include "opt_out/opt_out_storage.hpp"

namespace Bellwright {
namespace {

constexpr const char* kReloaded = "Bellwright: Reloaded config";
constexpr const char* kReloadFailed = "Bellwright: Failed to reload config";

}  // namespace

namespace {

// The custom commands of the new file, or empty when they cannot be read; the reason
// goes to the log either way.
std::optional<CustomCommandTable> BuildTable(const LoadedConfig& config) {
  try {
    return BuildCustomCommandTable(config.Document());
  } catch (const std::exception& error) {
    const std::string& where = config.CustomCommandsFailure();
    Log::Error("Reload failed, the previous file stays in use: custom commands not loaded: {}{}{}",
               where, where.empty() ? "" : ": ", error.what());
    return std::nullopt;
  }
}

}  // namespace

bool ReloadConfiguration() {
  try {
    ConfigRead read = ReadConfigFile();
    if (!read.config) {
      Log::Error("Reload failed, the previous file stays in use: {}", read.failure);
      return false;
    }
    std::optional<CustomCommandTable> table = BuildTable(*read.config);
    if (!table) {
      return false;
    }
    // Everything that can fail on bad input has run: from here the swap is made.
    UseConfig(std::move(*read.config));
    ReconfigureOptOut();
    InstallCustomCommands(std::move(*table));
    return true;
  } catch (const std::exception& error) {
    Log::Error("Reload failed: {}", error.what());
    return false;
  }
}

void ConsoleReload(APlayerController* caller, FString* /*command_line*/, bool /*unused*/) {
  const bool reloaded = ReloadConfiguration();
  ReplyAlways(caller, reloaded ? kReplyGreen : kReplyRed,
              FString(reloaded ? kReloaded : kReloadFailed));
}

void RconReload(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*unused*/) {
  if (connection == nullptr || packet == nullptr) {
    return;
  }
  const bool reloaded = ReloadConfiguration();
  ReplyOverRcon(connection, packet, FString(reloaded ? kReloaded : kReloadFailed));
}

}  // namespace Bellwright
