#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/time_zone.hpp"
#include "config/message_list_settings.hpp"
#include "config/setting_reader.hpp"

namespace Bellwright::ConfigCheck {
struct TextRule;
}

// The announcement lists and the schedules: only those that can run, each with what its
// clock needs and what its turns send.
namespace Bellwright {

// A list with a name of its own and an interval.
struct AnnouncementListSettings {
  std::string name;
  bool enabled = true;
  long long interval_seconds = 0;  // at least 1
  // Players who turned timed messages off do not get this list.
  bool leave_out_opted_out = true;
  MessageList list;

  friend bool operator==(const AnnouncementListSettings&,
                         const AnnouncementListSettings&) = default;
};

// A schedule with a name of its own, a zone, and at least one clock time, day and step.
struct ScheduleSettings {
  std::string name;
  bool enabled = true;
  // The usable clock times: as written, and in minutes after local midnight.
  std::vector<std::string> at_texts;
  std::vector<int> at_minutes;
  std::array<bool, 7> on_day{};  // Monday first
  const TimeZone* zone = nullptr;
  std::string zone_name = "UTC";
  std::vector<int> before_minutes;
  // Players who turned timed messages off do not get this schedule.
  bool leave_out_opted_out = false;
  // The schedule is its own message.
  MessageEntry message;

  friend bool operator==(const ScheduleSettings&, const ScheduleSettings&) = default;
};

struct AnnouncementSettings {
  std::vector<AnnouncementListSettings> lists;
  std::vector<ScheduleSettings> schedules;

  friend bool operator==(const AnnouncementSettings&, const AnnouncementSettings&) = default;
};

// The lists and then the schedules of `document` that can run, in array order. Each
// takes its name (ignoring letter case) whether it is enabled or not; one without a
// usable name, or whose name an earlier one took, is left out, and so is one without a
// usable interval, clock time, day, zone or step. The findings say why.
AnnouncementSettings ReadAnnouncementSettings(const SettingValue& document);

// How a list's message and a schedule's are formatted.
const ConfigCheck::TextRule& ListMessageTextRule();
const ConfigCheck::TextRule& ScheduleTextRule();

}  // namespace Bellwright
