#pragma once

#include <string>

#include "views/audience.hpp"

namespace Sandbox {

// Marks a player's console command as running, for as long as the object lives, so
// that the views can tell the plug-in's answer to that player from a message.
class ConsoleCallerScope {
 public:
  explicit ConsoleCallerScope(std::string unique_net_id);
  ConsoleCallerScope(const ConsoleCallerScope&) = delete;
  ConsoleCallerScope& operator=(const ConsoleCallerScope&) = delete;
  ~ConsoleCallerScope();

 private:
  std::string previous_;
};

// The sandbox world as the readable views see it: names of connected players, the
// game's player list, and the console command now running.
class WorldAudience final : public AudienceContext {
 public:
  [[nodiscard]] std::string NameOf(std::string_view id) const override;
  [[nodiscard]] std::vector<std::string> ConnectedIds() const override;
  [[nodiscard]] std::string ConsoleCaller() const override;
};

}  // namespace Sandbox
