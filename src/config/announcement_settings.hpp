#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "config/message_list_settings.hpp"
#include "config/schedule_times.hpp"
#include "config/setting_reader.hpp"

namespace Bellwright::ConfigCheck {
struct Registrations;
struct TextRule;
}  // namespace Bellwright::ConfigCheck

// The announcements: the timed messages with the players' opt-out of them, the
// announcement lists and the schedules. The clocks' and the turns' settings are read
// leniently, a message's own strictly (message_list_settings.hpp); only lists and
// schedules that can run are kept.
namespace Bellwright {

inline constexpr const char* kDefaultOptOutOffLine =
    "Timed messages are off for you. Type {Command} to turn them back on.";
inline constexpr const char* kDefaultOptOutOnLine = "Timed messages are on for you again.";

struct TimedMessageSettings {
  bool enabled = false;
  // Whole seconds (truncated toward zero), 0 by default.
  double interval_seconds = 0;
  MessageList list;
  // The chat command with which players turn timed messages off and on; empty: none.
  std::string opt_out_command;
  // The answers to a player who just turned timed messages off, or back on.
  std::string opt_out_off_line = kDefaultOptOutOffLine;
  std::string opt_out_on_line = kDefaultOptOutOnLine;

  friend bool operator==(const TimedMessageSettings&, const TimedMessageSettings&) = default;
};

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

// A schedule with a name of its own and times it can go out at.
struct ScheduleSettings {
  std::string name;
  bool enabled = true;
  ScheduleTimes times;
  // Players who turned timed messages off do not get this schedule.
  bool leave_out_opted_out = false;
  // The schedule is its own message; a step written as an object has its own, by its
  // minutes (the first object that gives them).
  MessageEntry message;
  std::map<int, MessageEntry> step_messages;

  friend bool operator==(const ScheduleSettings&, const ScheduleSettings&) = default;
};

// A list or schedule that cannot run, with the reason bw.status and bw.preview give.
struct IdleAnnouncement {
  std::string kind;  // "list" or "schedule"
  // As written; where it stands ("/Announcements/3") when it has no usable name.
  std::string name;
  std::string reason;

  friend bool operator==(const IdleAnnouncement&, const IdleAnnouncement&) = default;
};

struct AnnouncementSettings {
  TimedMessageSettings timed;
  // In array order, the first kMostAnnouncementLists and kMostSchedules of
  // base/schedule_fields.hpp. Each takes its name (ignoring letter case) whether it is
  // enabled or not; one without a usable name, or whose name an earlier one took, is
  // left out, and so is one without a usable interval or times.
  std::vector<AnnouncementListSettings> lists;
  std::vector<ScheduleSettings> schedules;
  // The lists and schedules left out, in the configured order.
  std::vector<IdleAnnouncement> idle;

  friend bool operator==(const AnnouncementSettings&, const AnnouncementSettings&) = default;
};

// `commands`: the names the custom commands take, which the opt-out command must not.
// `zones_later`: where the schedules' zones are left to be looked up, when they are not
// looked up now (ReadScheduleTimes); `now`: when the file is read, for the schedules'
// findings about the coming year. Messages, lists and schedules this server does not
// have (ServerFilter) are left out.
AnnouncementSettings ReadAnnouncementSettings(const SettingValue& document,
                                              const ConfigCheck::Registrations& commands,
                                              std::vector<ZoneToLookUp>* zones_later,
                                              std::chrono::sys_seconds now);

// How the texts are formatted: a timed message, the opt-out's answers, a list's message
// and a schedule's.
const ConfigCheck::TextRule& TimedMessageTextRule();
const ConfigCheck::TextRule& OptOutOffTextRule();
const ConfigCheck::TextRule& OptOutOnTextRule();
const ConfigCheck::TextRule& ListMessageTextRule();
const ConfigCheck::TextRule& ScheduleTextRule();

}  // namespace Bellwright
