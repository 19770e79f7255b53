#include "delivery/delivery.hpp"

#include <exception>

#include "delivery/messaging.hpp"
#include "delivery/rich_text.hpp"

namespace Bellwright {
namespace {

AShooterPlayerController* AsShooterController(const TWeakObjectPtr<APlayerController>& entry) {
  return static_cast<AShooterPlayerController*>(entry.Get(false));
}

// Hands `send` every entry of the world's player-controller list, resolved; null for
// a player who is gone.
template <typename Send>
void ForEachListedController(MessagingManager& messaging, Send&& send) {
  for (const auto& entry : messaging.GetWorld()->PlayerControllerListField()) {
    send(AsShooterController(entry));
  }
}

}  // namespace

bool DeliverServerMessage(AShooterPlayerController* player, const FString& message, ByteColor color,
                          bool to_everyone) {
  if (!to_everyone && player == nullptr) return false;
  try {
    const FLinearColor linear = ToLinearColor(color);
    const auto messaging = PluginMessaging();
    const FString text = FString::Format(message);
    if (!to_everyone) {
      messaging->SendServerMessage(player, linear, text);
      return true;
    }
    // A departed player's null entry goes to the host too, which ignores it.
    ForEachListedController(*messaging, [&](AShooterPlayerController* controller) {
      messaging->SendServerMessage(controller, linear, text);
    });
    return true;
  } catch (...) {
    return false;
  }
}

bool DeliverNotification(AShooterPlayerController* player, const FString& message, ByteColor color,
                         float display_time, float display_scale, UObject* icon, bool to_everyone) {
  if (!to_everyone && player == nullptr) return false;
  try {
    const FLinearColor linear = ToLinearColor(color);
    const auto messaging = PluginMessaging();
    const FString text = FString::Format(message);
    auto send = [&](AShooterPlayerController* controller) {
      messaging->SendNotification(controller, linear, display_scale, display_time, icon, text);
    };
    if (!to_everyone) {
      send(player);
      return true;
    }
    ForEachListedController(*messaging, [&](AShooterPlayerController* controller) {
      if (controller != nullptr) send(controller);
    });
    return true;
  } catch (...) {
    return false;
  }
}

bool DeliverChatMessage(AShooterPlayerController* player, const FString& message,
                        const FString& sender_name, ByteColor color, bool to_everyone) {
  const FString rich_text = BuildRichChatText(message, color);
  if (!to_everyone && player == nullptr) return false;
  try {
    const auto messaging = PluginMessaging();
    const FString text = FString::Format(rich_text);
    if (!to_everyone) {
      messaging->SendChatMessage(player, sender_name, text);
      return true;
    }
    ForEachListedController(*messaging, [&](AShooterPlayerController* controller) {
      if (controller != nullptr) messaging->SendChatMessage(controller, sender_name, text);
    });
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

UObject* ResolveIcon(const FString& asset_path) {
  TSoftObjectPtr<UObject> asset{};
  FString path = asset_path;
  asset.ObjectPath = path;
  return UPrimalAssets::AssetResolve(asset);
}

}  // namespace Bellwright
