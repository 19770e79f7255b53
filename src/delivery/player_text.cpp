#include <array>

#include "delivery/delivery.hpp"
#include "delivery/world_players.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {

UWorld* GameWorld() {
  return AsaApi::GetApiUtils().GetWorld();
}

int ConnectedPlayerCount() {
  int count = 0;
  ForEachConnectedPlayer(GameWorld(), [&count](AShooterPlayerController* /*player*/) { ++count; });
  return count;
}

const FString& PlayerText::For(AShooterPlayerController* player) {
  if (!text_.UsesAny()) {
    return text_.Text();
  }
  if (text_.Uses(kPlayerCount) && !player_count_) {
    player_count_ = DecimalText(ConnectedPlayerCount());
  }
  const FString name =
      text_.Uses(kPlayerName) && player != nullptr ? player->GetPlayerCharacterName() : FString();
  const std::u16string_view count =
      player_count_ ? std::u16string_view(*player_count_) : std::u16string_view();
  const std::array<std::u16string_view, 2> values{name.Wide(), count};
  filled_ = text_.Fill(values);
  return filled_;
}

}  // namespace Bellwright
