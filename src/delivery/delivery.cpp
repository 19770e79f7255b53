#include "delivery/delivery.hpp"

#include <exception>

#include "base/plugin_messaging.hpp"
#include "delivery/rich_text.hpp"
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
  for (const auto& entry : messaging.GetWorld()->PlayerControllerListField()) {
    auto* controller = static_cast<AShooterPlayerController*>(entry.Get(false));
    if (controller != nullptr || departed == DepartedEntries::kHandedOver) send(controller);
  }
}

bool HasNoTarget(Recipient recipient) {
  return !recipient.IsEveryone() && recipient.PlayerController() == nullptr;
}

bool DeliverServerMessage(Recipient recipient, const FString& message, const MessageStyle& style) {
  if (HasNoTarget(recipient)) return false;
  try {
    const FLinearColor linear = ToLinearColor(style.color);
    const auto messaging = PluginMessaging();
    const FString text = FString::Format(message);
    SendToTargets(*messaging, recipient, DepartedEntries::kHandedOver,
                  [&](AShooterPlayerController* target) {
                    messaging->SendServerMessage(target, linear, text);
                  });
    return true;
  } catch (...) {
    return false;
  }
}

bool DeliverNotification(Recipient recipient, const FString& message, const MessageStyle& style) {
  if (HasNoTarget(recipient)) return false;
  try {
    const FLinearColor linear = ToLinearColor(style.color);
    const auto messaging = PluginMessaging();
    const FString text = FString::Format(message);
    // The host takes the scale before the display time.
    SendToTargets(*messaging, recipient, DepartedEntries::kSkipped,
                  [&](AShooterPlayerController* target) {
                    messaging->SendNotification(target, linear, style.display_scale,
                                                style.display_time, style.icon, text);
                  });
    return true;
  } catch (...) {
    return false;
  }
}

bool DeliverChatMessage(Recipient recipient, const FString& message, const MessageStyle& style) {
  if (HasNoTarget(recipient)) return false;
  try {
    const FString rich_text = BuildRichChatText(message, style.color);
    const auto messaging = PluginMessaging();
    const FString text = FString::Format(rich_text);
    SendToTargets(*messaging, recipient, DepartedEntries::kSkipped,
                  [&](AShooterPlayerController* target) {
                    messaging->SendChatMessage(target, style.sender, text);
                  });
    return true;
  } catch (...) {
    return false;
  }
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
