#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_color.hpp"
#include "host/fstring.hpp"
#include "host/tarray.hpp"

namespace Bellwright {

// One custom chat command as configured: what the player who types it gets back,
// who may use it, and an optional chat text then said in the player's name.
struct CustomCommand {
  FString Message;
  // "Chat" or "Client", "Server", "Notification", compared exactly; others answer nothing.
  std::string Type = "Chat";
  FString Sender;
  ByteColor MessageColor;
  // Case-insensitively distinct; empty, or holding "Default", means everyone.
  TArray<FString> RequiredPermissionGroups;
  float DisplayTime = 0.0F;
  float DisplayScale = 0.0F;
  FString Icon_BP;
  FString Command_To_Execute;
  // Further names for the command, as configured; the registry decides which of them
  // it can register.
  std::vector<FString> Aliases;
  // Host-clock ticks (100 ns) a player waits between two uses; 0 for none.
  std::int64_t CooldownTicks = 0;
};

}  // namespace Bellwright
