#include <array>

#include "delivery/delivery.hpp"
#include "delivery/world_players.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {
namespace {

// The game thread is its only user.
FString& ServerNameHeld() {
  static FString name;
  return name;
}

}  // namespace

void UseServerName(const FString& name) {
  ServerNameHeld() = name;
}

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
  const FString name = text_.Uses(kPlayerName) && player != nullptr
                           ? PlayerChosenText(player->GetPlayerCharacterName(), kind_)
                           : FString();
  const std::u16string_view count =
      player_count_ ? std::u16string_view(*player_count_) : std::u16string_view();
  const std::array<std::u16string_view, 3> values{name.Wide(), count, ServerNameHeld().Wide()};
  filled_ = text_.Fill(values);
  return filled_;
}

}  // namespace Bellwright
