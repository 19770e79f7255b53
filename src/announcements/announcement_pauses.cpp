#include "announcements/announcement_pauses.hpp"

#include <map>
#include <string>

#include "announcements/announcements.hpp"
#include "base/schedule_fields.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// Keys folded as the engine folds letter case, each with the end of its pause (none:
// until bw.resume). Made on first use: the library's start-up runs before its other
// static objects are constructed.
std::map<std::string, std::optional<PauseEnd>, std::less<>>& Pauses() {
  static std::map<std::string, std::optional<PauseEnd>, std::less<>> pauses;
  return pauses;
}

// The pause of `name` that still holds, an ended one forgotten.
const std::optional<PauseEnd>* HoldingPause(std::string_view name) {
  if (Pauses().empty()) {
    return nullptr;
  }
  const auto found = Pauses().find(AnnouncementNameKey(name));
  if (found == Pauses().end()) {
    return nullptr;
  }
  if (found->second && AsaApi::Tools::GetSteadyClockTicks() >= found->second->steady_ticks) {
    Pauses().erase(found);
    return nullptr;
  }
  return &found->second;
}

}  // namespace

bool IsAnnouncementPaused(std::string_view name) {
  return HoldingPause(name) != nullptr;
}

bool PauseAnnouncement(std::string_view name, std::optional<PauseEnd> end) {
  const bool running = !IsAnnouncementPaused(name);
  Pauses()[AnnouncementNameKey(name)] = end;
  return running;
}

bool ResumeAnnouncement(std::string_view name) {
  const bool paused = IsAnnouncementPaused(name);
  Pauses().erase(AnnouncementNameKey(name));
  return paused;
}

std::optional<std::int64_t> AnnouncementPausedUntil(std::string_view name) {
  const std::optional<PauseEnd>* pause = HoldingPause(name);
  if (pause == nullptr || !*pause) {
    return std::nullopt;
  }
  return (*pause)->calendar_ticks;
}

void StartAnnouncementPauses() {
  Pauses().clear();
}

void StopAnnouncementPauses() {
  Pauses().clear();
}

void ResumeAnnouncementsAfterReload() {
  Pauses().clear();
}

}  // namespace Bellwright
