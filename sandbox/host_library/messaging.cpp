#include "host_library/messaging.hpp"

#include <array>

#include "host_library/events.hpp"
#include "host_library/icon_asset.hpp"
#include "host_library/text.hpp"
#include "host_library/world.hpp"

// Anchors the interface's type information in the host library.
MessagingManager::~MessagingManager() = default;

namespace Sandbox {

namespace {

std::string Recipient(AShooterPlayerController* player) {
  return ToUtf8(player->GetUniqueNetIdAsString());
}

Event ColorValue(const FLinearColor& color) {
  Event components(Event::value_t::array);
  auto& values = components.get_ref<Event::array_t&>();
  values.reserve(4);
  for (const float component : {color.R, color.G, color.B, color.A}) {
    values.push_back(FloatValue(component));
  }
  return components;
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
  std::array<EventField, 3> fields{
      {{"to", Recipient(player)}, {"color", ColorValue(color)}, {"text", ToUtf8(text)}}};
  EmitFields("server_message", fields);
}

void TranscriptMessaging::SendChatMessage(AShooterPlayerController* player,
                                          const FString& sender_name, const FString& text) {
  if (player == nullptr) {
    return;
  }
  std::array<EventField, 3> fields{
      {{"to", Recipient(player)}, {"sender", ToUtf8(sender_name)}, {"text", ToUtf8(text)}}};
  EmitFields("chat_message", fields);
}

void TranscriptMessaging::SendNotification(AShooterPlayerController* player, FLinearColor color,
                                           float display_scale, float display_time, UObject* icon,
                                           const FString& text) {
  if (player == nullptr) {
    return;
  }
  std::array<EventField, 6> fields{{{"to", Recipient(player)},
                                    {"color", ColorValue(color)},
                                    {"scale", FloatValue(display_scale)},
                                    {"time", FloatValue(display_time)},
                                    {"icon", IconValue(icon)},
                                    {"text", ToUtf8(text)}}};
  EmitFields("notification", fields);
}

UWorld* TranscriptMessaging::GetWorld() {
  return TheWorld().GetWorld();
}

}  // namespace Sandbox
