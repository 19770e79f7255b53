#include "announcements/announcement_names.hpp"

#include "announcements/announcement_lists.hpp"
#include "announcements/announcements.hpp"
#include "announcements/schedules.hpp"

namespace Bellwright {

std::optional<std::string> RunningAnnouncementName(std::string_view typed) {
  const std::string key = AnnouncementNameKey(typed);
  if (key == kTimedName) {
    return std::string(kTimedName);
  }
  if (auto list = FindAnnouncementList(key)) {
    return std::move(list->name);
  }
  if (auto schedule = FindClockSchedule(key)) {
    return std::move(schedule->name);
  }
  return std::nullopt;
}

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
