#include "automatic/message_form.hpp"

#include "delivery/delivery.hpp"

namespace Bellwright {

bool DeliverInForm(const MessageForm& form, AShooterPlayerController* target, const FString& text,
                   ByteColor color, bool to_everyone) {
  switch (form.kind) {
    case MessageKind::Server:
      return DeliverServerMessage(target, text, color, to_everyone);
    case MessageKind::Chat:
      return DeliverChatMessage(target, text, form.sender, color, to_everyone);
    case MessageKind::Notification:
      return DeliverNotification(target, text, color, form.display_time, form.display_scale,
                                 form.icon, to_everyone);
  }
  return false;
}

}  // namespace Bellwright
