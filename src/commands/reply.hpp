#pragma once

#include <string>
#include <vector>

#include "host/colors.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

inline constexpr FLinearColor kReplyGreen{0.0F, 1.0F, 0.0F, 1.0F};
inline constexpr FLinearColor kReplyRed{1.0F, 0.0F, 0.0F, 1.0F};

// A console reply under the hide rule: with it on (HideSuccessMessagesToNonAdmins),
// callers the game allows to cheat get no reply at all, failures included. The
// setting's name reads the other way round, but configuration files in use rely on
// the rule as it stands.
void ReplyUnlessHidden(APlayerController* caller, FLinearColor color, const FString& text);

// A console reply that no setting withholds (the reload replies).
void ReplyAlways(APlayerController* caller, FLinearColor color, const FString& text);

// Lines of UTF-8 as one reply text, a line feed between two lines: the console shows
// them as one message, and RCON sends them as one reply, which the host splits into
// packets as the protocol allows.
FString ReplyText(const std::vector<std::string>& lines);

// An RCON reply: plain text on the connection, answering the packet's request id.
void ReplyOverRcon(RCONClientConnection* connection, const RCONPacket* packet, FString text);

}  // namespace Bellwright
