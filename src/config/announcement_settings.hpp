#pragma once

#include <array>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// "Announcements" and "Schedules", read when the configuration comes into use: only the
// lists and schedules that can run, each with what its clock needs. What a turn sends
// (the order, the minimum of players, the messages) is read at the turn, from `section`.
namespace Bellwright {

// A list with a name of its own and an interval.
struct AnnouncementListSettings {
  std::string name;
  bool enabled = true;
  long long interval_seconds = 0;  // at least 1
  // "OptOut": players who turned timed messages off do not get this list.
  bool leave_out_opted_out = true;
  // The list's object in the document it was read from.
  const nlohmann::json* section = nullptr;
};

// A schedule with a name of its own, a zone, and at least one clock time, day and step.
struct ScheduleSettings {
  std::string name;
  bool enabled = true;
  // The usable "At" entries: as written, and in minutes after local midnight.
  std::vector<std::string> at_texts;
  std::vector<int> at_minutes;
  std::array<bool, 7> on_day{};  // Monday first
  // Looked up in the time-zone database by the schedule's owner, when it may be read.
  std::string zone_name = "UTC";
  std::vector<int> before_minutes;
  // "OptOut": players who turned timed messages off do not get this schedule.
  bool leave_out_opted_out = false;
  // The schedule's object, which is also its message entry.
  const nlohmann::json* section = nullptr;
};

struct AnnouncementSettings {
  std::vector<AnnouncementListSettings> lists;
  std::vector<ScheduleSettings> schedules;
};

// The lists and then the schedules of `document` that can run, in array order. Each
// takes its name (ignoring letter case) whether it is enabled or not; one without a
// usable name, or whose name an earlier one took, is left out, and so is one without a
// usable interval, clock time, day or step, and those past the limits of
// base/schedule_fields.hpp. The checks' findings say why. Zones are not looked up here.
AnnouncementSettings ReadAnnouncements(const nlohmann::json& document);

}  // namespace Bellwright
