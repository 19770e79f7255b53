#pragma once

#include "host/messaging.hpp"

namespace Sandbox {

// The host's messaging object: every text it is handed becomes a transcript event
// addressed to the player's unique net id.
class TranscriptMessaging final : public MessagingManager {
 public:
  void SendServerMessage(AShooterPlayerController* player, FLinearColor color,
                         const FString& text) override;
  void SendChatMessage(AShooterPlayerController* player, const FString& sender_name,
                       const FString& text) override;
  void SendNotification(AShooterPlayerController* player, FLinearColor color, float display_scale,
                        float display_time, UObject* icon, const FString& text) override;
  UWorld* GetWorld() override;
};

}  // namespace Sandbox
