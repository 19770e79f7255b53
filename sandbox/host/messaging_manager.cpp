#include "messaging_manager.hpp"

#include "events.hpp"
#include "icon_asset.hpp"
#include "text.hpp"
#include "world.hpp"

namespace Sandbox {

namespace {

std::string Recipient(AShooterPlayerController* player) {
  return ToUtf8(player->GetUniqueNetIdAsString());
}

Event ColorValue(const FLinearColor& color) {
  return Event::array(
      {FloatValue(color.R), FloatValue(color.G), FloatValue(color.B), FloatValue(color.A)});
}

Event IconValue(UObject* icon) {
  if (icon == nullptr) {
    return nullptr;
  }
  const auto* const asset = dynamic_cast<const IconAsset*>(icon);
  return asset != nullptr ? ToUtf8(asset->path) : "(an object that is not an icon)";
}

}  // namespace

// A null controller is ignored, as the game ignores a message to nobody.

void TranscriptMessaging::SendServerMessage(AShooterPlayerController* player, FLinearColor color,
                                            const FString& text) {
  if (player == nullptr) {
    return;
  }
  Emit("server_message",
       {{"to", Recipient(player)}, {"color", ColorValue(color)}, {"text", ToUtf8(text)}});
}

void TranscriptMessaging::SendChatMessage(AShooterPlayerController* player,
                                          const FString& sender_name, const FString& text) {
  if (player == nullptr) {
    return;
  }
  Emit("chat_message",
       {{"to", Recipient(player)}, {"sender", ToUtf8(sender_name)}, {"text", ToUtf8(text)}});
}

void TranscriptMessaging::SendNotification(AShooterPlayerController* player, FLinearColor color,
                                           float display_scale, float display_time, UObject* icon,
                                           const FString& text) {
  if (player == nullptr) {
    return;
  }
  Emit("notification", {{"to", Recipient(player)},
                        {"color", ColorValue(color)},
                        {"scale", FloatValue(display_scale)},
                        {"time", FloatValue(display_time)},
                        {"icon", IconValue(icon)},
                        {"text", ToUtf8(text)}});
}

UWorld* TranscriptMessaging::GetWorld() {
  return TheWorld().GetWorld();
}

}  // namespace Sandbox
