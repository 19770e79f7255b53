#include "commands/reload.hpp"

#include <exception>
#include <utility>

#include "commands/reply.hpp"
#include "config/config.hpp"
#include "custom_commands/custom_command_registry.hpp"
#include "custom_commands/custom_command_table.hpp"

namespace Bellwright {
namespace {

constexpr const char* kReloaded = "Bellwright: Reloaded config";
constexpr const char* kReloadFailed = "Bellwright: Failed to reload config";

}  // namespace

bool ReloadConfiguration() {
  try {
    nlohmann::json document = ReadConfigFile();
    CustomCommandTable table = BuildCustomCommandTable(document);
    // Everything that can fail on bad input has run: from here the swap is made.
    UnregisterCustomCommands();
    ReplaceConfigDocument(std::move(document));
    InstallCustomCommands(std::move(table));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void ConsoleReload(APlayerController* caller, FString* /*command_line*/, bool /*unused*/) {
  const bool reloaded = ReloadConfiguration();
  ShowReplyToCaller(caller, reloaded ? kReplyGreen : kReplyRed,
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
