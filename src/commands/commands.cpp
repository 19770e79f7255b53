#include "commands/commands.hpp"

#include <array>

#include "base/host_boundary.hpp"
#include "commands/chat_as_player.hpp"
#include "commands/reload.hpp"
#include "commands/send_handlers.hpp"
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

constexpr std::array<AdministrativeCommand, 10> kAdministrativeCommands{{
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
}};

}  // namespace

void RegisterAdministrativeCommands(ReloadFunction reload) {
  UseReloadFunction(reload);
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
}

}  // namespace Bellwright
