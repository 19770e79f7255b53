#include "opt_out/greeted_players.hpp"

#include "opt_out/opt_out_state.hpp"
#include "opt_out/opt_out_storage.hpp"

namespace Bellwright {

void AskWhetherGreetedBefore(AShooterPlayerController* player) {
  OptOut::State& state = OptOut::TheState();
  if (player == nullptr || !state.settings || !state.settings->first_join) {
    return;
  }
  state.greeted.Ask(OptOut::Key(player->GetUniqueNetIdAsString()));
  DriveOptOutStorage();
}

bool GreetAndTellWhetherFirst(const FString& unique_id) {
  OptOut::State& state = OptOut::TheState();
  if (!state.settings) {
    return false;
  }
  const auto greeted = state.greeted.Greet(OptOut::Key(unique_id));
  return state.settings->first_join && greeted == Storage::SeenMemory::Greeted::kNever;
}

void RecordGreetingsNow() {
  if (OptOut::TheState().greeted.HasUnrecorded()) {
    DriveOptOutStorage();
  }
}

}  // namespace Bellwright
