#include "announcements/announcement_names.hpp"

#include "announcements/announcement_lists.hpp"
#include "announcements/announcements.hpp"
#include "announcements/schedules.hpp"

namespace Bellwright {

std::vector<std::string> SteerableNames() {
  std::vector<std::string> names{std::string(kTimedName)};
  for (AnnouncementListState& list : RunningAnnouncementLists()) {
    names.push_back(std::move(list.name));
  }
  for (ClockScheduleState& schedule : RunningClockSchedules()) {
    names.push_back(std::move(schedule.name));
  }
  return names;
}

}  // namespace Bellwright
