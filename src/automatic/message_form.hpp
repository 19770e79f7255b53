#pragma once

#include "delivery/byte_color.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// How an automatic message reaches players; the welcome message and the timed
// messages differ only in where they read these from.
enum class MessageKind { Server, Chat, Notification };

struct MessageForm {
  MessageKind kind = MessageKind::Chat;
  FString sender;              // chat lines only
  float display_time = 10.0F;  // notifications only
  float display_scale = 1.0F;  // notifications only
  UObject* icon = nullptr;     // notifications only
};

// Hands `text` to the delivery primitive of the form's kind; true when it was sent.
bool DeliverInForm(const MessageForm& form, AShooterPlayerController* target, const FString& text,
                   ByteColor color, bool to_everyone);

}  // namespace Bellwright
