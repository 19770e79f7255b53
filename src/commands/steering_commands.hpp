#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/command_outcome.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

// The commands with which administrators see and steer what the plug-in does:
// bw.status, bw.next, bw.preview, bw.pause, bw.resume, bw.skip and bw.countdown. Their work belongs
// to the subsystems that own the state; the plug-in's start-up hands it in, and these handlers read
// the command line and reply.
namespace Bellwright {

struct SteeringWork {
  // One line per item of the plug-in's state.
  std::vector<std::string> (*status)() = nullptr;
  // Names match ignoring letter case; "all" takes in every list and schedule.
  // `minutes`: the pause ends by itself; none waits for bw.resume.
  CommandOutcome (*pause)(std::string_view name, std::optional<int> minutes) = nullptr;
  CommandOutcome (*resume)(std::string_view name) = nullptr;
  // The next turn of a list or occurrence of a schedule passes unsent.
  CommandOutcome (*skip)(std::string_view name) = nullptr;
  // What goes out in the coming hours.
  CommandOutcome (*next)(int hours) = nullptr;
  // Shows the entry to `viewer` as players would get it; without a viewer (RCON) the
  // reply describes it.
  CommandOutcome (*preview)(std::string_view name, std::optional<int> entry,
                            AShooterPlayerController* viewer) = nullptr;
  CommandOutcome (*start_countdown)(int minutes, const std::optional<std::string>& text) = nullptr;
  CommandOutcome (*cancel_countdown)() = nullptr;
};

void UseSteeringWork(const SteeringWork& work);

// bw.status, bw.next and bw.preview always answer: their reply is what was asked for. The
// replies of bw.pause, bw.resume, bw.skip and bw.countdown follow the hide rule.
void ConsoleStatus(APlayerController* caller, FString* command_line, bool unused);
void RconStatus(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);
void ConsolePreview(APlayerController* caller, FString* command_line, bool unused);
void RconPreview(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);
void ConsolePause(APlayerController* caller, FString* command_line, bool unused);
void RconPause(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);
void ConsoleResume(APlayerController* caller, FString* command_line, bool unused);
void RconResume(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);
void ConsoleNext(APlayerController* caller, FString* command_line, bool unused);
void RconNext(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);
void ConsoleSkip(APlayerController* caller, FString* command_line, bool unused);
void RconSkip(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);
void ConsoleCountdown(APlayerController* caller, FString* command_line, bool unused);
void RconCountdown(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused);

}  // namespace Bellwright
