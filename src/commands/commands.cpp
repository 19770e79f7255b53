#include "commands/commands.hpp"

#include <array>

#include "base/host_boundary.hpp"
#include "commands/chat_as_player.hpp"
#include "commands/reload.hpp"
#include "commands/send_handlers.hpp"
#include "commands/steering_commands.hpp"
#include "host/asa_api.hpp"
#include "host/commands.hpp"

namespace Bellwright {
namespace {

using ConsoleHandler = void (*)(APlayerController*, FString*, bool);
using RconHandler = void (*)(RCONClientConnection*, RCONPacket*, UWorld*);

// One registration: exactly one of the two handlers is set.
struct AdministrativeCommand {
  const char* name;
  ConsoleHandler console;
  RconHandler rcon;
};

constexpr std::array<AdministrativeCommand, 24> kAdministrativeCommands{{
    {"bw.sendserver", &Guarded<ConsoleSendServer>::Call, nullptr},
    {"bw.sendchat", &Guarded<ConsoleSendChat>::Call, nullptr},
    {"bw.sendnotification", &Guarded<ConsoleSendNotification>::Call, nullptr},
    {"bw.sendserver", nullptr, &Guarded<RconSendServer>::Call},
    {"bw.sendchat", nullptr, &Guarded<RconSendChat>::Call},
    {"bw.sendnotification", nullptr, &Guarded<RconSendNotification>::Call},
    {"bw.reload", &Guarded<ConsoleReload>::Call, nullptr},
    {"bw.reload", nullptr, &Guarded<RconReload>::Call},
    {"bw.chatasplayer", &Guarded<ConsoleChatAsPlayer>::Call, nullptr},
    {"bw.chatasplayer", nullptr, &Guarded<RconChatAsPlayer>::Call},
    {"bw.status", &Guarded<ConsoleStatus>::Call, nullptr},
    {"bw.status", nullptr, &Guarded<RconStatus>::Call},
    {"bw.next", &Guarded<ConsoleNext>::Call, nullptr},
    {"bw.next", nullptr, &Guarded<RconNext>::Call},
    {"bw.preview", &Guarded<ConsolePreview>::Call, nullptr},
    {"bw.preview", nullptr, &Guarded<RconPreview>::Call},
    {"bw.pause", &Guarded<ConsolePause>::Call, nullptr},
    {"bw.pause", nullptr, &Guarded<RconPause>::Call},
    {"bw.resume", &Guarded<ConsoleResume>::Call, nullptr},
    {"bw.resume", nullptr, &Guarded<RconResume>::Call},
    {"bw.skip", &Guarded<ConsoleSkip>::Call, nullptr},
    {"bw.skip", nullptr, &Guarded<RconSkip>::Call},
    {"bw.countdown", &Guarded<ConsoleCountdown>::Call, nullptr},
    {"bw.countdown", nullptr, &Guarded<RconCountdown>::Call},
}};

}  // namespace

void RegisterAdministrativeCommands(ReloadFunction reload, const SteeringWork& steering) {
  UseReloadFunction(reload);
  UseSteeringWork(steering);
  ICommands& commands = AsaApi::GetCommands();
  for (const AdministrativeCommand& command : kAdministrativeCommands) {
    const FString name(command.name);
    if (command.console != nullptr) {
      commands.AddConsoleCommand(name, command.console);
    } else {
      commands.AddRconCommand(name, command.rcon);
    }
  }
}

void RemoveAdministrativeCommands() {
  ICommands& commands = AsaApi::GetCommands();
  for (const AdministrativeCommand& command : kAdministrativeCommands) {
    const FString name(command.name);
    if (command.console != nullptr) {
      commands.RemoveConsoleCommand(name);
    } else {
      commands.RemoveRconCommand(name);
    }
  }
  UseReloadFunction(nullptr);
  UseSteeringWork({});
}

}  // namespace Bellwright
