#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>

#include "host/fstring.hpp"

namespace Bellwright {

// When each player last used each custom command, for the commands with a cooldown.
// Players are their unique ids and commands their names as configured, both compared
// ignoring letter case; times are the host's steady-clock ticks.
class CommandCooldowns {
 public:
  // The ticks `player` still has to wait before using `command` again, 0 when the
  // command may be used: a use exactly `cooldown` ticks after the last one is free.
  // A clock that went back never makes the wait longer than the cooldown itself.
  [[nodiscard]] std::int64_t TicksLeft(const FString& command, const FString& player,
                                       std::int64_t cooldown, std::int64_t now) const;

  // Starts the player's cooldown of `command` at `now`.
  void RecordUse(const FString& command, const FString& player, std::int64_t cooldown,
                 std::int64_t now);

  // Forgets every command for which `still_exists(name)` is false.
  template <typename StillExists>
  void KeepCommandsWhere(StillExists&& still_exists) {
    for (auto entry = commands_.begin(); entry != commands_.end();) {
      entry = still_exists(entry->first) ? std::next(entry) : commands_.erase(entry);
    }
  }

  void Clear() { commands_.clear(); }

 private:
  // Uses whose cooldown has passed are swept once a command's book has doubled since
  // the last sweep, so a long-running server does not keep every player it ever saw.
  static constexpr std::size_t kFirstSweep = 64;

  struct CommandUses {
    std::map<FString, std::int64_t, FStringCaseInsensitiveLess> last_use;
    std::size_t sweep_at = kFirstSweep;
  };

  std::map<FString, CommandUses, FStringCaseInsensitiveLess> commands_;
};

// Ticks as whole seconds, rounded up: the wait a player is told.
std::int64_t WholeSecondsUp(std::int64_t ticks);

}  // namespace Bellwright
