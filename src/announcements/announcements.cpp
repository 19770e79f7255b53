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
void ConfigureFromLiveDocument(ZoneLookup zones) {
  const AnnouncementSettings& settings = LiveSettings().announcements;
  // Intervals are durations; schedules follow the calendar.
  ConfigureAnnouncementLists(settings.lists, AsaApi::Tools::GetSteadyClockTicks());
  ConfigureClockSchedules(settings.schedules, CalendarSecond(AsaApi::Tools::GetSystemClockTicks()),
                          zones);
}

}  // namespace

void StartAnnouncements() {
  StopAnnouncements();
  ConfigureFromLiveDocument(ZoneLookup::kAtTheFirstTimerCall);
}

void ReconfigureAnnouncements() {
  ConfigureFromLiveDocument(ZoneLookup::kNow);
}

void StopAnnouncements() {
  StopClockSchedules();
  StopAnnouncementLists();
}

void SendDueAnnouncements() {
  SendDueAnnouncementLists(AsaApi::Tools::GetSteadyClockTicks());
  SendDueClockSchedules(CalendarSecond(AsaApi::Tools::GetSystemClockTicks()));
}

}  // namespace Bellwright
