#include "plugin/preview.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <string>
#include <vector>

#include "announcements/announcements.hpp"
#include "base/schedule_fields.hpp"
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
  return names;
}

}  // namespace

// The welcomes are asked before the lists and schedules: a list named "welcome" cannot
// hide the greeting.
CommandOutcome PreviewByName(std::string_view name, std::optional<int> entry,
                             AShooterPlayerController* viewer) {
  // Folded once and looked up, so a long name costs one folding however many lists
  // and schedules there are.
  const std::string key = AnnouncementNameKey(name);
  if (key == kWelcomeName) {
    return PreviewWelcome(entry, viewer);
  }
  if (key == kFirstJoinName) {
    return PreviewFirstJoin(entry, viewer);
  }
  if (std::optional<CommandOutcome> outcome = PreviewAnnouncement(key, entry, viewer)) {
    return std::move(*outcome);
  }
  return CommandOutcome::Failure(fmt::format("Nothing to preview is named \"{}\"; there are: {}",
                                             name, fmt::join(PreviewableNames(), ", ")));
}

}  // namespace Bellwright
