#include "commands/steering_commands.hpp"

#include <fmt/format.h>

#include <optional>
#include <string>

#include "commands/command_line.hpp"
#include "commands/reply.hpp"
#include "commands/steering_arguments.hpp"
#include "opt_out/cluster_link.hpp"

namespace Bellwright {
namespace {

constinit SteeringWork Work{};

using Steer = CommandOutcome (*)(const CommandLine& line, AShooterPlayerController* viewer);

enum class HideRule { kApplies, kNever };

// The first line names the plug-in, as every administrative reply does.
FString ReplyOf(CommandOutcome outcome) {
  if (outcome.lines.empty()) {
    outcome.lines.emplace_back();
  }
  outcome.lines.front().insert(0, "Bellwright: ");
  return ReplyText(outcome.lines);
}

CommandOutcome NotAvailable() {
  return CommandOutcome::Failure("This command is not available");
}

CommandOutcome RunStatus(const CommandLine& /*line*/, AShooterPlayerController* /*viewer*/) {
  if (Work.status == nullptr) {
    return NotAvailable();
  }
  return {true, Work.status()};
}

CommandOutcome RunNext(const CommandLine& line, AShooterPlayerController* /*viewer*/) {
  auto parsed = ParseNext(line);
  if (!parsed.request) {
    return CommandOutcome::Failure(std::move(parsed.error));
  }
  if (Work.next == nullptr) {
    return NotAvailable();
  }
  return Work.next(*parsed.request);
}

CommandOutcome RunPreview(const CommandLine& line, AShooterPlayerController* viewer) {
  auto parsed = ParsePreview(line);
  if (!parsed.request) {
    return CommandOutcome::Failure(std::move(parsed.error));
  }
  if (Work.preview == nullptr) {
    return NotAvailable();
  }
  return Work.preview(parsed.request->name, parsed.request->entry, viewer);
}

template <CommandOutcome (*SteeringWork::*Member)(std::string_view), const char* kCommand>
CommandOutcome RunNamed(const CommandLine& line, AShooterPlayerController* /*viewer*/) {
  auto parsed = ParseAnnouncementName(line, kCommand);
  if (!parsed.request) {
    return CommandOutcome::Failure(std::move(parsed.error));
  }
  if (Work.*Member == nullptr) {
    return NotAvailable();
  }
  return (Work.*Member)(*parsed.request);
}

constexpr char kResume[] = "bw.resume";
constexpr char kSkip[] = "bw.skip";

CommandOutcome RunPause(const CommandLine& line, AShooterPlayerController* /*viewer*/) {
  auto parsed = ParsePause(line);
  if (!parsed.request) {
    return CommandOutcome::Failure(std::move(parsed.error));
  }
  if (Work.pause == nullptr) {
    return NotAvailable();
  }
  return Work.pause(parsed.request->name, parsed.request->minutes);
}

// Why a countdown cannot go to every server, checked before anything is done here.
std::optional<std::string> ClusterCountdownObstacle(const CountdownRequest& request) {
  if (auto refusal = ClusterRefusal()) {
    return refusal;
  }
  if (request.text && request.text->size() > kLongestClusterText) {
    return fmt::format(
        "the text is longer than the {} bytes of UTF-8 a message for every server "
        "may carry",
        kLongestClusterText);
  }
  return std::nullopt;
}

// Here first, then stored for the other servers. A cancel goes to them even when no
// countdown runs here.
CommandOutcome CountdownOnEveryServer(const CountdownRequest& request) {
  if (const auto obstacle = ClusterCountdownObstacle(request)) {
    return CommandOutcome::Failure(fmt::format(
        "not done on any server, as this server cannot reach the others: {}", *obstacle));
  }
  CommandOutcome outcome = request.cancel ? Work.cancel_countdown()
                                          : Work.start_countdown(request.minutes, request.text);
  if (!request.cancel && !outcome.succeeded) {
    return outcome;
  }
  const ClusterSending sending =
      request.cancel ? SendToCluster(ClusterCountdownCancel{})
                     : SendToCluster(ClusterCountdown{request.minutes, request.text});
  if (outcome.lines.empty()) {
    outcome.lines.emplace_back();
  }
  outcome.lines.front() +=
      (sending.queued ? "; " : "; not sent to the other servers: ") + sending.reply;
  outcome.succeeded = sending.queued;
  return outcome;
}

CommandOutcome RunCountdown(const CommandLine& line, AShooterPlayerController* /*viewer*/) {
  auto parsed = ParseCountdown(line);
  if (!parsed.request) {
    return CommandOutcome::Failure(std::move(parsed.error));
  }
  if (Work.start_countdown == nullptr || Work.cancel_countdown == nullptr) {
    return NotAvailable();
  }
  const CountdownRequest& request = *parsed.request;
  if (request.cluster) {
    return CountdownOnEveryServer(request);
  }
  return request.cancel ? Work.cancel_countdown()
                        : Work.start_countdown(request.minutes, request.text);
}

template <Steer Run, HideRule kHide>
void OnConsole(APlayerController* caller, FString* command_line, bool /*unused*/) {
  if (caller == nullptr || command_line == nullptr) {
    return;
  }
  const CommandOutcome outcome =
      Run(CommandLine(*command_line), static_cast<AShooterPlayerController*>(caller));
  const FString text = ReplyOf(outcome);
  const FLinearColor color = outcome.succeeded ? kReplyGreen : kReplyRed;
  if (kHide == HideRule::kApplies) {
    ReplyUnlessHidden(caller, color, text);
  } else {
    ReplyAlways(caller, color, text);
  }
}

template <Steer Run>
void OnRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*unused*/) {
  if (connection == nullptr || packet == nullptr) {
    return;
  }
  const CommandOutcome outcome = Run(CommandLine(packet->Body), nullptr);
  ReplyOverRcon(connection, packet, ReplyOf(outcome));
}

}  // namespace

void UseSteeringWork(const SteeringWork& work) {
  Work = work;
}

void ConsoleStatus(APlayerController* caller, FString* command_line, bool unused) {
  OnConsole<&RunStatus, HideRule::kNever>(caller, command_line, unused);
}
void RconStatus(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused) {
  OnRcon<&RunStatus>(connection, packet, unused);
}
void ConsolePreview(APlayerController* caller, FString* command_line, bool unused) {
  OnConsole<&RunPreview, HideRule::kNever>(caller, command_line, unused);
}
void RconPreview(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused) {
  OnRcon<&RunPreview>(connection, packet, unused);
}
void ConsolePause(APlayerController* caller, FString* command_line, bool unused) {
  OnConsole<&RunPause, HideRule::kApplies>(caller, command_line, unused);
}
void RconPause(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused) {
  OnRcon<&RunPause>(connection, packet, unused);
}
void ConsoleResume(APlayerController* caller, FString* command_line, bool unused) {
  OnConsole<&RunNamed<&SteeringWork::resume, kResume>, HideRule::kApplies>(caller, command_line,
                                                                           unused);
}
void RconResume(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused) {
  OnRcon<&RunNamed<&SteeringWork::resume, kResume>>(connection, packet, unused);
}
void ConsoleNext(APlayerController* caller, FString* command_line, bool unused) {
  OnConsole<&RunNext, HideRule::kNever>(caller, command_line, unused);
}
void RconNext(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused) {
  OnRcon<&RunNext>(connection, packet, unused);
}
void ConsoleSkip(APlayerController* caller, FString* command_line, bool unused) {
  OnConsole<&RunNamed<&SteeringWork::skip, kSkip>, HideRule::kApplies>(caller, command_line,
                                                                       unused);
}
void RconSkip(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused) {
  OnRcon<&RunNamed<&SteeringWork::skip, kSkip>>(connection, packet, unused);
}
void ConsoleCountdown(APlayerController* caller, FString* command_line, bool unused) {
  OnConsole<&RunCountdown, HideRule::kApplies>(caller, command_line, unused);
}
void RconCountdown(RCONClientConnection* connection, RCONPacket* packet, UWorld* unused) {
  OnRcon<&RunCountdown>(connection, packet, unused);
}

}  // namespace Bellwright
