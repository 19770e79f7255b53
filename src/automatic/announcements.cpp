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

void ConfigureFromLiveDocument(ZoneLookup zones) {
  const AnnouncementSettings settings = ReadAnnouncements(ConfigDocument());
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
