#pragma once

#include <functional>

#include "host/fstring.hpp"
#include "host/game.hpp"
#include "host/host_api.hpp"

// The host's command registries. Names are matched against the first word of what
// the player or RCON client typed, ignoring letter case.
class HOST_API ICommands {
 public:
  using ChatCallback = std::function<void(AShooterPlayerController*, FString*, int, int)>;
  using ConsoleCallback = std::function<void(APlayerController*, FString*, bool)>;
  using RconCallback = std::function<void(RCONClientConnection*, RCONPacket*, UWorld*)>;

  virtual ~ICommands();

  virtual void AddChatCommand(const FString& command, const ChatCallback& callback) = 0;
  virtual void AddConsoleCommand(const FString& command, const ConsoleCallback& callback) = 0;
  virtual void AddRconCommand(const FString& command, const RconCallback& callback) = 0;

  virtual bool RemoveChatCommand(const FString& command) = 0;
  virtual bool RemoveConsoleCommand(const FString& command) = 0;
  virtual bool RemoveRconCommand(const FString& command) = 0;
};
