#pragma once

#include "host/colors.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"
#include "host/host_api.hpp"

// The host's messaging object: shows texts to one player. The text is handed over
// as it is; formatting is the caller's.
class HOST_API MessagingManager {
 public:
  virtual ~MessagingManager();

  virtual void SendServerMessage(AShooterPlayerController* player, FLinearColor color,
                                 const FString& text) = 0;
  virtual void SendChatMessage(AShooterPlayerController* player, const FString& sender_name,
                               const FString& text) = 0;
  virtual void SendNotification(AShooterPlayerController* player, FLinearColor color,
                                float display_scale, float display_time, UObject* icon,
                                const FString& text) = 0;
  // The world whose player-controller list deliveries to everyone walk.
  virtual UWorld* GetWorld() = 0;
};
