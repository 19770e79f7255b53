#include "announcements/announcement_pauses.hpp"

#include <set>
#include <string>

#include "automatic/automatic.hpp"
#include "base/unicode.hpp"

namespace Bellwright {
namespace {

// Keys folded as the engine folds letter case. Made on first use: the library's
// start-up runs before its other static objects are constructed.
std::set<std::string, std::less<>>& PausedNames() {
  static std::set<std::string, std::less<>> names;
  return names;
}

std::string Key(std::string_view name) {
  return Unicode::CaseFoldedUtf8(Unicode::Utf8ToUtf16(name));
}

}  // namespace

bool IsAnnouncementPaused(std::string_view name) {
  return !PausedNames().empty() && PausedNames().contains(Key(name));
}

bool PauseAnnouncement(std::string_view name) {
  return PausedNames().insert(Key(name)).second;
}

bool ResumeAnnouncement(std::string_view name) {
  return PausedNames().erase(Key(name)) > 0;
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
