#include "delivery/delivery.hpp"

#include <exception>

#include "base/plugin_messaging.hpp"
#include "delivery/rich_text.hpp"
#include "delivery/world_players.hpp"
#include "host/messaging.hpp"

namespace Bellwright {
namespace {

// Who gets a message to everyone whose list entry no longer resolves to a player.
enum class DepartedEntries { kHandedOver, kSkipped };

// Hands the text to the one player, or to every entry of the world's player-controller
// list in order. The host ignores a server message to a departed player's null entry;
// the other kinds skip it.
template <typename Send>
void SendToTargets(MessagingManager& messaging, Recipient recipient, DepartedEntries departed,
                   Send&& send) {
  if (!recipient.IsEveryone()) {
    send(recipient.PlayerController());
    return;
  }
  ForEachListedController(messaging.GetWorld(), [&](AShooterPlayerController* controller) {
    if (controller != nullptr || departed == DepartedEntries::kHandedOver) send(controller);
  });
}

bool HasNoTarget(Recipient recipient) {
  return !recipient.IsEveryone() && recipient.PlayerController() == nullptr;
}

// Formats the text `prepare` gives once and hands it to each target with `send`.
// False when there is no target or anything throws on the way.
template <typename Prepare, typename Send>
bool DeliverFormatted(Recipient recipient, DepartedEntries departed, Prepare&& prepare,
                      Send&& send) {
  if (HasNoTarget(recipient)) return false;
  try {
    const FString unformatted = prepare();
    const auto messaging = PluginMessaging();
    const FString text = FString::Format(unformatted);
    SendToTargets(*messaging, recipient, departed,
                  [&](AShooterPlayerController* target) { send(*messaging, target, text); });
    return true;
  } catch (...) {
    return false;
  }
}

bool DeliverServerMessage(Recipient recipient, const FString& message, const MessageStyle& style) {
  const FLinearColor linear = ToLinearColor(style.color);
  return DeliverFormatted(
      recipient, DepartedEntries::kHandedOver, [&] { return message; },
      [&](MessagingManager& messaging, AShooterPlayerController* target, const FString& text) {
        messaging.SendServerMessage(target, linear, text);
      });
}

bool DeliverNotification(Recipient recipient, const FString& message, const MessageStyle& style) {
  const FLinearColor linear = ToLinearColor(style.color);
  // The host takes the scale before the display time.
  return DeliverFormatted(
      recipient, DepartedEntries::kSkipped, [&] { return message; },
      [&](MessagingManager& messaging, AShooterPlayerController* target, const FString& text) {
        messaging.SendNotification(target, linear, style.display_scale, style.display_time,
                                   style.icon, text);
      });
}

bool DeliverChatMessage(Recipient recipient, const FString& message, const MessageStyle& style) {
  return DeliverFormatted(
      recipient, DepartedEntries::kSkipped, [&] { return BuildRichChatText(message, style.color); },
      [&](MessagingManager& messaging, AShooterPlayerController* target, const FString& text) {
        messaging.SendChatMessage(target, style.sender, text);
      });
}

}  // namespace

bool Deliver(MessageKind kind, const FString& text, const MessageStyle& style,
             Recipient recipient) noexcept {
  switch (kind) {
    case MessageKind::kServer:
      return DeliverServerMessage(recipient, text, style);
    case MessageKind::kChat:
      return DeliverChatMessage(recipient, text, style);
    case MessageKind::kNotification:
      return DeliverNotification(recipient, text, style);
  }
  return false;
}

UObject* ResolveIcon(const FString& asset_path) {
  TSoftObjectPtr<UObject> asset{};
  FString path = asset_path;
  asset.ObjectPath = path;
  return UPrimalAssets::AssetResolve(asset);
}

}  // namespace Bellwright
