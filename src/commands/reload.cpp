#include "commands/reload.hpp"

#include <exception>
#include <utility>

#include "commands/reply.hpp"
#include "config/config.hpp"
#include "custom_commands/custom_commands.hpp"
#include "opt_out/opt_out.hpp"

namespace Bellwright {
namespace {

constexpr const char* kReloaded = "Bellwright: Reloaded config";
constexpr const char* kReloadFailed = "Bellwright: Failed to reload config";

}  // namespace

bool ReloadConfiguration() {
  try {
    ConfigRead read = ReadConfigFile();
    if (!read.config) {
      return false;
    }
    CustomCommandTable table = BuildCustomCommandTable(read.config->Document());
    // Everything that can fail on bad input has run: from here the swap is made.
    UseConfig(std::move(*read.config));
    ReconfigureOptOut();
    InstallCustomCommands(std::move(table));
    return true;
  } catch (const std::exception&) {
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
