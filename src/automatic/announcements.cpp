#include "automatic/announcements.hpp"

#include <chrono>
#include <cstdint>

#include "automatic/announcement_lists.hpp"
#include "automatic/automatic.hpp"
#include "automatic/clock_schedules.hpp"
#include "base/clock_ticks.hpp"
#include "config/announcement_settings.hpp"
#include "config/config.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// The calendar time of the host's clock, to the whole second.
std::chrono::sys_seconds Calendar(std::int64_t ticks) {
  const std::int64_t seconds = ticks / kClockTicksPerSecond - (ticks % kClockTicksPerSecond < 0);
  return std::chrono::sys_seconds(std::chrono::seconds(seconds));
}

void ConfigureFromLiveDocument() {
  const AnnouncementSettings settings = ReadAnnouncements(ConfigDocument());
  const std::int64_t now = AsaApi::Tools::GetSystemClockTicks();
  ConfigureAnnouncementLists(settings.lists, now);
  ConfigureClockSchedules(settings.schedules, Calendar(now));
}

}  // namespace

void StartAnnouncements() {
  StopAnnouncements();
  ConfigureFromLiveDocument();
}

void ReconfigureAnnouncements() {
  ConfigureFromLiveDocument();
}

void StopAnnouncements() {
  StopClockSchedules();
  StopAnnouncementLists();
}

void SendDueAnnouncements() {
  const std::int64_t now = AsaApi::Tools::GetSystemClockTicks();
  SendDueAnnouncementLists(now);
  SendDueClockSchedules(Calendar(now));
}

}  // namespace Bellwright
