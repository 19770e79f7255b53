#include "plugin/preview.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <string>
#include <vector>

#include "announcements/announcements.hpp"
#include "base/preview_tally.hpp"
#include "base/schedule_fields.hpp"
#include "countdown/countdown.hpp"
#include "custom_commands/custom_commands.hpp"
#include "opt_out/opt_out_command.hpp"
#include "welcome/welcome.hpp"

namespace Bellwright {
namespace {

// In the order the reply to an unknown name lists them.
std::vector<std::string> PreviewableNames() {
  std::vector<std::string> names = SteerableNames();
  names.insert(names.begin() + 1, std::string(kWelcomeName));
  if (HasFirstJoinWelcome()) {
    names.insert(names.begin() + 2, std::string(kFirstJoinName));
  }
  names.emplace_back(kCountdownName);
  names.emplace_back(kAllName);
  return names;
}

// Every message the configuration can put in front of a player, each once, in the
// order a player meets them: greeted, told the announcements, warned of a restart,
// answered by the commands.
CommandOutcome PreviewEverything(std::optional<int> entry, AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure("all shows every message at once: give no N");
  }
  CommandOutcome all{true,
                     {viewer != nullptr ? "Preview of every configured message, each once:"
                                        : "Every configured message, each once:"}};
  AppendOutcome(all, PreviewEveryWelcomeText(viewer));
  AppendOutcome(all, PreviewEveryAnnouncement(viewer));
  AppendOutcome(all, PreviewEveryCountdownText(viewer));
  AppendOutcome(all, PreviewCustomCommands(viewer));
  AppendOutcome(all, PreviewOptOutAnswers(viewer));
  return all;
}

}  // namespace

// The welcomes are asked before the lists and schedules: a list named "welcome" cannot
// hide the greeting.
CommandOutcome PreviewByName(std::string_view name, std::optional<int> entry,
                             AShooterPlayerController* viewer) {
  // Folded once and looked up, so a long name costs one folding however many lists
  // and schedules there are.
  const std::string key = AnnouncementNameKey(name);
  if (key == kAllName) {
    return PreviewEverything(entry, viewer);
  }
  if (key == kWelcomeName) {
    return PreviewWelcome(entry, viewer);
  }
  if (key == kFirstJoinName) {
    return PreviewFirstJoin(entry, viewer);
  }
  if (std::optional<CommandOutcome> outcome = PreviewAnnouncement(key, entry, viewer)) {
    return std::move(*outcome);
  }
  // After the lists and schedules: one named "countdown" kept its preview.
  if (key == kCountdownName) {
    return PreviewCountdown(entry, viewer);
  }
  return CommandOutcome::Failure(fmt::format("Nothing to preview is named \"{}\"; there are: {}",
                                             name, fmt::join(PreviewableNames(), ", ")));
}

}  // namespace Bellwright
