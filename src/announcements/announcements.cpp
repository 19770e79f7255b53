#include "announcements/announcements.hpp"

#include <chrono>
#include <cstdint>

#include "announcements/announcement_lists.hpp"
#include "announcements/announcements.hpp"
#include "announcements/schedules.hpp"
#include "base/clock_ticks.hpp"
#include "config/config.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// The running lists and schedules read their messages from the live settings, which
// stay in place until the next reconfiguration.
void ConfigureFromLiveDocument() {
  const AnnouncementSettings& settings = LiveSettings().announcements;
  const std::int64_t now = AsaApi::Tools::GetSystemClockTicks();
  ConfigureAnnouncementLists(settings.lists, now);
  ConfigureClockSchedules(settings.schedules, CalendarSecond(now));
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
  SendDueClockSchedules(CalendarSecond(now));
}

}  // namespace Bellwright
