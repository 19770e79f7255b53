#include "views/world_audience.hpp"

#include "host_library/text.hpp"
#include "host_library/world.hpp"

namespace Sandbox {
namespace {

// Console commands run on the game thread, one at a time (a command may run another
// player's, hence the scope keeps the previous caller).
std::string console_caller;

}  // namespace

ConsoleCallerScope::ConsoleCallerScope(std::string unique_net_id)
    : previous_(std::exchange(console_caller, std::move(unique_net_id))) {}

ConsoleCallerScope::~ConsoleCallerScope() {
  console_caller = std::move(previous_);
}

std::string WorldAudience::NameOf(std::string_view id) const {
  const PlayerController* const player = TheWorld().FindConnected(FromUtf8(id));
  if (player == nullptr || player->character == nullptr) {
    return {};
  }
  return ToUtf8(player->character->name);
}

std::vector<std::string> WorldAudience::ConnectedIds() const {
  std::vector<std::string> ids;
  for (const auto& entry : TheWorld().GetWorld()->player_controllers) {
    if (const auto* const player = dynamic_cast<const PlayerController*>(entry.Get())) {
      ids.push_back(ToUtf8(player->unique_net_id));
    }
  }
  return ids;
}

std::string WorldAudience::ConsoleCaller() const {
  return console_caller;
}

}  // namespace Sandbox
