#pragma once

#include <functional>

#include "delivery/delivery.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// The three send commands share one flow; what differs between them, and between
// their console and RCON forms, is this data and the reply hook.
enum class NumberRule {
  // Trailing numbers are taken after a numeric test; one that passes the test but
  // does not convert is answered with the bad-number reply and nothing is sent.
  kTestedReplyWhenBad,
  // The notification numbers are converted without a test; when they do not
  // convert, the configured values stand in and the command goes on.
  kTriedConfiguredWhenBad,
};

struct SendCommandRules {
  MessageKind kind = MessageKind::kServer;
  NumberRule numbers = NumberRule::kTestedReplyWhenBad;
  const char* bad_number_reply = nullptr;
};

enum class SendOutcome { kSent, kFailed };

// Sends the reply for the outcome; the console applies its hide rule here.
using SendReply = std::function<void(SendOutcome outcome, const FString& text)>;

inline constexpr const char* kSentToEveryone = "Bellwright: Successfully sent message to everyone";
inline constexpr const char* kSentToPlayer = "Bellwright: Successfully sent message to player";
inline constexpr const char* kSendFailed = "Bellwright: Error trying to send the message";
inline constexpr const char* kReadFailed = "Bellwright: Error trying to read the message";

void RunSendCommand(const SendCommandRules& rules, const FString& command_line,
                    const SendReply& reply);

}  // namespace Bellwright
