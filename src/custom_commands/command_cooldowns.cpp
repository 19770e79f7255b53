#include "custom_commands/command_cooldowns.hpp"

#include <algorithm>

#include "base/clock_ticks.hpp"

namespace Bellwright {

std::int64_t CommandCooldowns::TicksLeft(const FString& command, const FString& player,
                                         std::int64_t cooldown, std::int64_t now) const {
  if (cooldown <= 0) {
    return 0;
  }
  const auto uses = commands_.find(command);
  if (uses == commands_.end()) {
    return 0;
  }
  const auto last = uses->second.last_use.find(player);
  if (last == uses->second.last_use.end()) {
    return 0;
  }
  const std::int64_t elapsed = now - last->second;
  return elapsed >= cooldown ? 0 : std::min(cooldown - elapsed, cooldown);
}

void CommandCooldowns::RecordUse(const FString& command, const FString& player,
                                 std::int64_t cooldown, std::int64_t now) {
  CommandUses& uses = commands_[command];
  if (uses.last_use.size() >= uses.sweep_at) {
    std::erase_if(uses.last_use, [&](const auto& use) { return now - use.second >= cooldown; });
    uses.sweep_at = std::max(kFirstSweep, 2 * uses.last_use.size());
  }
  uses.last_use[player] = now;
}

std::int64_t WholeSecondsUp(std::int64_t ticks) {
  return ticks <= 0 ? 0 : (ticks - 1) / kClockTicksPerSecond + 1;
}

}  // namespace Bellwright
