#include "commands/reload.hpp"

#include "commands/reply.hpp"

namespace Bellwright {
namespace {

constexpr const char* kReloaded = "Bellwright: Reloaded config";
constexpr const char* kReloadFailed = "Bellwright: Failed to reload config";

constinit ReloadFunction reload_function = nullptr;

bool Reload() {
  return reload_function != nullptr && reload_function();
}

}  // namespace

void UseReloadFunction(ReloadFunction reload) {
  reload_function = reload;
}

void ConsoleReload(APlayerController* caller, FString* /*command_line*/, bool /*unused*/) {
  const bool reloaded = Reload();
  ReplyAlways(caller, reloaded ? kReplyGreen : kReplyRed,
              FString(reloaded ? kReloaded : kReloadFailed));
}

void RconReload(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*unused*/) {
  if (connection == nullptr || packet == nullptr) {
    return;
  }
  const bool reloaded = Reload();
  ReplyOverRcon(connection, packet, FString(reloaded ? kReloaded : kReloadFailed));
}

}  // namespace Bellwright
