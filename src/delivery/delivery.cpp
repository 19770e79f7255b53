#include "delivery/delivery.hpp"

#include <exception>

#include "delivery/messaging.hpp"
#include "delivery/rich_text.hpp"

namespace Bellwright {
namespace {

// Hands the text to the one player, or to every entry of the world's player-controller
// list in order. A departed player's entry resolves to null; it is handed over only
// where `null_entries_too` (the host ignores a server message to nobody).
template <typename Send>
void SendToTargets(MessagingManager& messaging, AShooterPlayerController* player, bool to_everyone,
                   bool null_entries_too, Send&& send) {
  if (!to_everyone) {
    send(player);
    return;
  }
  for (const auto& entry : messaging.GetWorld()->PlayerControllerListField()) {
    auto* controller = static_cast<AShooterPlayerController*>(entry.Get(false));
    if (controller != nullptr || null_entries_too) send(controller);
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
    SendToTargets(*messaging, player, to_everyone, true, [&](AShooterPlayerController* target) {
      messaging->SendServerMessage(target, linear, text);
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
    SendToTargets(*messaging, player, to_everyone, false, [&](AShooterPlayerController* target) {
      messaging->SendNotification(target, linear, display_scale, display_time, icon, text);
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
    SendToTargets(*messaging, player, to_everyone, false, [&](AShooterPlayerController* target) {
      messaging->SendChatMessage(target, sender_name, text);
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
