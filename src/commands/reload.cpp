#include "commands/reload.hpp"

#include "commands/reply.hpp"

namespace Bellwright {
namespace {

constexpr const char* kReloaded = "Bellwright: Reloaded config";
constexpr const char* kReloadFailed = "Bellwright: Failed to reload config";

constinit ReloadFunction reload_function = nullptr;

// The usual first line, then what the reload found.
CommandOutcome Reload() {
  CommandOutcome outcome = reload_function != nullptr ? reload_function() : CommandOutcome{};
  outcome.lines.insert(outcome.lines.begin(), outcome.succeeded ? kReloaded : kReloadFailed);
  return outcome;
}

}  // namespace

void UseReloadFunction(ReloadFunction reload) {
  reload_function = reload;
}

void ConsoleReload(APlayerController* caller, FString* /*command_line*/, bool /*unused*/) {
  const CommandOutcome outcome = Reload();
  ReplyAlways(caller, outcome.succeeded ? kReplyGreen : kReplyRed, ReplyText(outcome.lines));
}

void RconReload(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*unused*/) {
  if (connection == nullptr || packet == nullptr) {
    return;
  }
  ReplyOverRcon(connection, packet, ReplyText(Reload().lines));
}

}  // namespace Bellwright
