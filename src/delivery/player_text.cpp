#include <array>
#include <utility>

#include "delivery/delivery.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {

int ConnectedPlayerCount() {
  UWorld* world = AsaApi::GetApiUtils().GetWorld();
  if (world == nullptr) {
    return 0;
  }
  int count = 0;
  for (const auto& entry : world->PlayerControllerListField()) {
    if (entry.Get() != nullptr) {
      ++count;
    }
  }
  return count;
}

PlayerText::PlayerText(FString text) : text_(std::move(text), kPlayerPlaceholderNames) {}

FString PlayerText::For(AShooterPlayerController* player) {
  if (!text_.UsesAny()) {
    return text_.Fill({});
  }
  if (text_.Uses(kPlayerCount) && !player_count_) {
    player_count_ = DecimalText(ConnectedPlayerCount());
  }
  const FString name =
      text_.Uses(kPlayerName) && player != nullptr ? player->GetPlayerCharacterName() : FString();
  const std::array<std::u16string_view, 2> values{name.Wide(),
                                                  player_count_ ? *player_count_ : u""};
  return text_.Fill(values);
}

}  // namespace Bellwright
