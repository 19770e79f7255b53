#pragma once

#include <map>
#include <string>
#include <vector>

#include "views/audience.hpp"

namespace Sandbox {

// A world for the readable views' tests: players by id, their list order, and the
// console command running.
class FakeAudience final : public AudienceContext {
 public:
  FakeAudience(std::vector<Player> connected, std::string console_caller = {})
      : connected_(std::move(connected)), console_caller_(std::move(console_caller)) {}

  [[nodiscard]] std::string NameOf(std::string_view id) const override {
    for (const Player& player : connected_) {
      if (player.id == id) {
        return player.name;
      }
    }
    return {};
  }
  [[nodiscard]] std::vector<std::string> ConnectedIds() const override {
    std::vector<std::string> ids;
    for (const Player& player : connected_) {
      ids.push_back(player.id);
    }
    return ids;
  }
  [[nodiscard]] std::string ConsoleCaller() const override { return console_caller_; }

 private:
  std::vector<Player> connected_;
  std::string console_caller_;
};

}  // namespace Sandbox
