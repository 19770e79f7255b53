#include "commands/send_commands.hpp"

#include "commands/reply.hpp"
#include "commands/send_family.hpp"

namespace Bellwright {
namespace {

constexpr SendCommandRules kConsoleChat{SendKind::Chat, NumberRule::TestedReplyWhenBad,
                                        kSendFailed};
// Only the console server message names a bad number as a reading error.
constexpr SendCommandRules kConsoleServer{SendKind::Server, NumberRule::TestedReplyWhenBad,
                                          kReadFailed};
constexpr SendCommandRules kConsoleNotification{SendKind::Notification,
                                                NumberRule::TestedReplyWhenBad, kSendFailed};
constexpr SendCommandRules kRconChat{SendKind::Chat, NumberRule::TestedReplyWhenBad, kSendFailed};
constexpr SendCommandRules kRconServer{SendKind::Server, NumberRule::TestedReplyWhenBad,
                                       kSendFailed};
constexpr SendCommandRules kRconNotification{SendKind::Notification,
                                             NumberRule::TriedConfiguredWhenBad, kSendFailed};

void RunFromConsole(const SendCommandRules& rules, APlayerController* caller,
                    const FString* command_line) {
  if (caller == nullptr || command_line == nullptr) {
    return;
  }
  RunSendCommand(rules, *command_line, [caller](bool success, const FString& text) {
    ReplyToCaller(caller, success ? kReplyGreen : kReplyRed, text);
  });
}

void RunFromRcon(const SendCommandRules& rules, RCONClientConnection* connection,
                 const RCONPacket* packet) {
  if (connection == nullptr || packet == nullptr) {
    return;
  }
  RunSendCommand(rules, packet->Body, [connection, packet](bool /*success*/, const FString& text) {
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
