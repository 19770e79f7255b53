#include "announcements/announcement_pauses.hpp"

#include <set>
#include <string>

#include "announcements/announcements.hpp"
#include "base/schedule_fields.hpp"

namespace Bellwright {
namespace {

// Keys folded as the engine folds letter case. Made on first use: the library's
// start-up runs before its other static objects are constructed.
std::set<std::string, std::less<>>& PausedNames() {
  static std::set<std::string, std::less<>> names;
  return names;
}

}  // namespace

bool IsAnnouncementPaused(std::string_view name) {
  return !PausedNames().empty() && PausedNames().contains(AnnouncementNameKey(name));
}

bool PauseAnnouncement(std::string_view name) {
  return PausedNames().insert(AnnouncementNameKey(name)).second;
}

bool ResumeAnnouncement(std::string_view name) {
  return PausedNames().erase(AnnouncementNameKey(name)) > 0;
}

void StartAnnouncementPauses() {
  PausedNames().clear();
}

void StopAnnouncementPauses() {
  PausedNames().clear();
}

void ResumeAnnouncementsAfterReload() {
  PausedNames().clear();
}

}  // namespace Bellwright
