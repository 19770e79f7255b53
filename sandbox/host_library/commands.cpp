#include "host_library/commands.hpp"

#include "host/asa_api.hpp"
#include "host/commands.hpp"
#include "host_library/plugin_guard.hpp"
#include "host_library/text.hpp"

// Anchors the interface's type information in the host library.
ICommands::~ICommands() = default;

namespace Sandbox {

namespace {

// Abandoned entries stay reachable from here for the life of the process, so
// they are neither destroyed nor reported as leaks.
std::vector<void*>& Abandoned() {
  static auto* const abandoned = new std::vector<void*>();
  return *abandoned;
}

std::string Where(std::string_view kind, const FString& name) {
  return std::string(kind) + " command " + ToUtf8(name);
}

}  // namespace

template <typename Callback>
std::vector<FString> NamedCallbacks<Callback>::Abandon() {
  std::vector<FString> names;
  for (auto& entry : entries_) {
    names.push_back(entry->name);
    Abandoned().push_back(entry.release());
  }
  entries_.clear();
  return names;
}

void CommandRegistry::AddChatCommand(const FString& command, const ChatCallback& callback) {
  chat_.Add(command, callback);
}
void CommandRegistry::AddConsoleCommand(const FString& command, const ConsoleCallback& callback) {
  console_.Add(command, callback);
}
void CommandRegistry::AddRconCommand(const FString& command, const RconCallback& callback) {
  rcon_.Add(command, callback);
}
bool CommandRegistry::RemoveChatCommand(const FString& command) {
  return chat_.Remove(command);
}
bool CommandRegistry::RemoveConsoleCommand(const FString& command) {
  return console_.Remove(command);
}
bool CommandRegistry::RemoveRconCommand(const FString& command) {
  return rcon_.Remove(command);
}

bool CommandRegistry::RunChat(AShooterPlayerController* player, FString& message, int mode,
                              int platform) {
  const FString word = FirstWord(message);
  const auto callback = chat_.Find(word);
  if (!callback) {
    return false;
  }
  CallPlugin(Where("chat", word), [&] { (*callback)(player, &message, mode, platform); });
  return true;
}

bool CommandRegistry::RunConsole(APlayerController* player, const FString& line) {
  const FString word = FirstWord(line);
  const auto callback = console_.Find(word);
  if (!callback) {
    return false;
  }
  FString command_line = line;
  CallPlugin(Where("console", word), [&] { (*callback)(player, &command_line, true); });
  return true;
}

bool CommandRegistry::RunRcon(RCONClientConnection* connection, RCONPacket& packet, UWorld* world) {
  const FString word = FirstWord(packet.Body);
  const auto callback = rcon_.Find(word);
  if (!callback) {
    return false;
  }
  CallPlugin(Where("rcon", word), [&] { (*callback)(connection, &packet, world); });
  return true;
}

std::vector<std::string> CommandRegistry::AbandonAll() {
  std::vector<std::string> abandoned;
  const auto describe = [&](std::string_view kind, const std::vector<FString>& names) {
    for (const FString& name : names) {
      abandoned.push_back(Where(kind, name));
    }
  };
  describe("console", console_.Abandon());
  describe("rcon", rcon_.Abandon());
  describe("chat", chat_.Abandon());
  return abandoned;
}

CommandRegistry& TheCommandRegistry() {
  static CommandRegistry registry;
  return registry;
}

}  // namespace Sandbox

ICommands& AsaApi::GetCommands() {
  return Sandbox::TheCommandRegistry();
}
