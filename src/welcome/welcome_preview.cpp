#include <fmt/format.h>

#include <optional>
#include <string>
#include <vector>

#include "config/config.hpp"
#include "welcome/welcome.hpp"
#include "welcome/welcome_message.hpp"

namespace Bellwright {

CommandOutcome PreviewWelcome(std::optional<int> entry, AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure("welcome has one text: give no N");
  }
  if (viewer != nullptr) {
    return SendWelcomeTo(viewer) ? CommandOutcome::Success("Preview of welcome sent to you")
                                 : CommandOutcome::Failure("welcome cannot be shown");
  }
  std::vector<std::string> described = DescribeWelcome();
  described.front().insert(0, "welcome: ");
  return {true, std::move(described)};
}

CommandOutcome PreviewFirstJoin(std::optional<int> entry, AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure("firstjoin has one text: give no N");
  }
  std::optional<std::vector<std::string>> described = DescribeFirstJoin();
  if (!described) {
    return CommandOutcome::Failure("firstjoin has no text: the welcome has no FirstJoinMessage");
  }
  if (viewer != nullptr) {
    return SendFirstJoinWelcomeTo(viewer)
               ? CommandOutcome::Success("Preview of firstjoin sent to you")
               : CommandOutcome::Failure("firstjoin cannot be shown");
  }
  described->front().insert(0, "firstjoin: ");
  return {true, std::move(*described)};
}

CommandOutcome PreviewEveryWelcomeText(AShooterPlayerController* viewer) {
  if (!LiveSettings().welcome.enabled) {
    return CommandOutcome::Success("Not shown: welcome is off (EnableWelcomeMessage)");
  }
  if (viewer == nullptr) {
    return PreviewWelcome(std::nullopt, nullptr);
  }
  const int shown = SendEveryWelcomeTextTo(viewer);
  return CommandOutcome::Success(
      fmt::format("Preview of welcome sent to you ({} {})", shown, shown == 1 ? "text" : "texts"));
}

bool HasFirstJoinWelcome() {
  return DescribeFirstJoin().has_value();
}

}  // namespace Bellwright
