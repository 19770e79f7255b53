#include "announcements/announcement_names.hpp"

#include "announcements/announcement_lists.hpp"
#include "announcements/schedules.hpp"
#include "base/unicode.hpp"

namespace Bellwright {

bool SameName(std::string_view typed, std::string_view name) {
  return Unicode::CaseFoldedUtf8(Unicode::Utf8ToUtf16(typed)) ==
         Unicode::CaseFoldedUtf8(Unicode::Utf8ToUtf16(name));
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
