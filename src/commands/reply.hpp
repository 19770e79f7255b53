#pragma once

#include "host/colors.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

inline constexpr FLinearColor kReplyGreen{0.0F, 1.0F, 0.0F, 1.0F};
inline constexpr FLinearColor kReplyRed{1.0F, 0.0F, 0.0F, 1.0F};

// A console reply under the hide rule: with "HideSuccessMessagesToNonAdmins" on,
// callers the game allows to cheat get no reply at all, failures included. The
// setting's name reads the other way round, but configuration files in use rely on
// the rule as it stands.
void ReplyUnlessHidden(APlayerController* caller, FLinearColor color, const FString& text);

// A console reply that no setting withholds (the reload replies).
void ReplyAlways(APlayerController* caller, FLinearColor color, const FString& text);

// An RCON reply: plain text on the connection, answering the packet's request id.
void ReplyOverRcon(RCONClientConnection* connection, const RCONPacket* packet, FString text);

}  // namespace Bellwright
