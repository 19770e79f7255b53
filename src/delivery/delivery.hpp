#pragma once

#include "delivery/byte_color.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

// Each returns true when the message was handed to the host, false when it was not
// (no target for a single delivery, or a failure, such as a lone brace in the text).
// With `to_everyone` the player argument is ignored.

bool DeliverServerMessage(AShooterPlayerController* player, const FString& message, ByteColor color,
                          bool to_everyone);

bool DeliverChatMessage(AShooterPlayerController* player, const FString& message,
                        const FString& sender_name, ByteColor color, bool to_everyone);

// Note the order: display time, then display scale (the host takes them reversed).
bool DeliverNotification(AShooterPlayerController* player, const FString& message, ByteColor color,
                         float display_time, float display_scale, UObject* icon, bool to_everyone);

// The icon object for an asset path, or null when it does not resolve.
UObject* ResolveIcon(const FString& asset_path);

}  // namespace Bellwright
