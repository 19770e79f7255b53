#include "commands/send_handlers.hpp"

#include "commands/reply.hpp"
#include "commands/send_flow.hpp"

namespace Bellwright {
namespace {

// Most forms test their trailing numbers and answer a bad one as a failed send.
constexpr SendCommandRules Rules(MessageKind kind,
                                 NumberRule numbers = NumberRule::kTestedReplyWhenBad,
                                 const char* bad_number_reply = kSendFailed) {
  return {kind, numbers, bad_number_reply};
}

constexpr SendCommandRules kConsoleChat = Rules(MessageKind::kChat);
// Only the console server message names a bad number as a reading error.
constexpr SendCommandRules kConsoleServer =
    Rules(MessageKind::kServer, NumberRule::kTestedReplyWhenBad, kReadFailed);
constexpr SendCommandRules kConsoleNotification = Rules(MessageKind::kNotification);
constexpr SendCommandRules kRconChat = Rules(MessageKind::kChat);
constexpr SendCommandRules kRconServer = Rules(MessageKind::kServer);
constexpr SendCommandRules kRconNotification =
    Rules(MessageKind::kNotification, NumberRule::kTriedConfiguredWhenBad);

void RunFromConsole(const SendCommandRules& rules, APlayerController* caller,
                    const FString* command_line) {
  if (caller == nullptr || command_line == nullptr) {
    return;
  }
  RunSendCommand(rules, *command_line, [caller](SendOutcome outcome, const FString& text) {
    ReplyUnlessHidden(caller, outcome == SendOutcome::kSent ? kReplyGreen : kReplyRed, text);
  });
}

void RunFromRcon(const SendCommandRules& rules, RCONClientConnection* connection,
                 const RCONPacket* packet) {
  if (connection == nullptr || packet == nullptr) {
    return;
  }
  RunSendCommand(rules, packet->Body,
                 [connection, packet](SendOutcome /*outcome*/, const FString& text) {
                   ReplyOverRcon(connection, packet, text);
                 });
}

}  // namespace

void ConsoleSendChat(APlayerController* caller, FString* command_line, bool /*unused*/) {
  RunFromConsole(kConsoleChat, caller, command_line);
}

void ConsoleSendServer(APlayerController* caller, FString* command_line, bool /*unused*/) {
  RunFromConsole(kConsoleServer, caller, command_line);
}

void ConsoleSendNotification(APlayerController* caller, FString* command_line, bool /*unused*/) {
  RunFromConsole(kConsoleNotification, caller, command_line);
}

void RconSendChat(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*unused*/) {
  RunFromRcon(kRconChat, connection, packet);
}

void RconSendServer(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*unused*/) {
  RunFromRcon(kRconServer, connection, packet);
}

void RconSendNotification(RCONClientConnection* connection, RCONPacket* packet,
                          UWorld* /*unused*/) {
  RunFromRcon(kRconNotification, connection, packet);
}

}  // namespace Bellwright
