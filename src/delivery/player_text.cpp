#include <array>

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
  const std::array<std::u16string_view, 2> values{name.Wide(), count};
  filled_ = text_.Fill(values);
  return filled_;
}

}  // namespace Bellwright
