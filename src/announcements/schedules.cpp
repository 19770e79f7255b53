#include "announcements/schedules.hpp"

#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "announcements/announcement_pauses.hpp"
#include "announcements/message_turns.hpp"
#include "announcements/schedule_occurrences.hpp"
#include "base/placeholders.hpp"
#include "base/schedule_fields.hpp"
#include "base/text.hpp"
#include "config/config.hpp"

namespace Bellwright {
namespace {

struct RunningSchedule {
  std::string name;
  std::string zone_name;
  const TimeZone* zone = nullptr;
  OccurrenceCursor cursor;
  std::vector<std::u16string> at_texts;
  OptedOutPlayers opted_out = OptedOutPlayers::kIncluded;
  const MessageEntry* message = nullptr;
};

std::vector<RunningSchedule> RunningSchedules;
// Where each runs, by its name key, so that a typed name is found at once. Made on first
// use: the library's start-up runs before its other static objects are constructed.
std::map<std::string, std::size_t, std::less<>>& ScheduleByKey() {
  static std::map<std::string, std::size_t, std::less<>> schedules;
  return schedules;
}
// Schedules configured at the start, whose zones are looked up at the first timer call
// (they are the live settings', which stay in place until the next reconfiguration),
// and the second their occurrences count from.
constinit const std::vector<ScheduleSettings>* WaitingForZones = nullptr;
constinit std::chrono::sys_seconds WaitingStart;
// The latest second a timer call has seen: a reload counts occurrences from the one
// after it, so none goes out twice, also after the calendar clock was set back.
std::optional<std::chrono::sys_seconds> LastTimerCall;

constexpr std::u16string_view kCountdownFields[] = {u"Minutes", u"Time"};

ClockTimes TimesOf(const ScheduleTimes& times, const TimeZone* zone) {
  return {times.at_minutes, times.on_day, zone, times.before_minutes};
}

TextFill CountdownFill(int minutes_left, std::u16string at_text) {
  return [minutes = DecimalText(minutes_left), at_text = std::move(at_text)](const FString& text) {
    const PlaceholderText countdown(text, kCountdownFields);
    const std::u16string_view values[] = {minutes, at_text};
    return countdown.Fill(values);
  };
}

void Send(const RunningSchedule& schedule, const Occurrence& occurrence) {
  SendEntry(*schedule.message, schedule.opted_out,
            CountdownFill(occurrence.minutes_left, schedule.at_texts[occurrence.at_index]));
}

TextFill PreviewFill(const RunningSchedule& schedule) {
  const auto& next = schedule.cursor.Next();
  const std::size_t at_index = next ? next->at_index : 0;
  const std::vector<int>& steps = schedule.cursor.Times().before_minutes;
  return CountdownFill(steps.empty() ? 0 : steps.front(),
                       at_index < schedule.at_texts.size() ? schedule.at_texts[at_index] : u"");
}

ClockScheduleState StateOf(const RunningSchedule& schedule) {
  std::optional<std::chrono::sys_seconds> next;
  if (schedule.cursor.Next()) {
    next = schedule.cursor.Next()->instant;
  }
  return {schedule.name, schedule.zone_name, schedule.zone,
          next,          schedule.message,   PreviewFill(schedule)};
}

// A schedule whose zone the database does not know does not run; the checks' findings
// say so.
void Build(const std::vector<ScheduleSettings>& schedules, std::chrono::sys_seconds start) {
  std::vector<RunningSchedule> running;
  for (const ScheduleSettings& schedule : schedules) {
    if (!schedule.enabled) {
      continue;
    }
    const TimeZone* zone = FindTimeZone(schedule.times.zone_name);
    if (zone == nullptr) {
      continue;
    }
    std::vector<std::u16string> at_texts;
    for (const std::string& text : schedule.times.at_texts) {
      at_texts.push_back(FromUtf8(text).Wide());
    }
    running.push_back(
        {schedule.name, schedule.times.zone_name, zone,
         OccurrenceCursor(TimesOf(schedule.times, zone), start), std::move(at_texts),
         schedule.leave_out_opted_out ? OptedOutPlayers::kLeftOut : OptedOutPlayers::kIncluded,
         &schedule.message});
  }
  RunningSchedules = std::move(running);
  ScheduleByKey().clear();
  for (std::size_t index = 0; index < RunningSchedules.size(); ++index) {
    ScheduleByKey().emplace(AnnouncementNameKey(RunningSchedules[index].name), index);
  }
}

// The first use after the start, a timer call or a command, looks the zones up: the
// findings about them go to the log first, then the schedules they concern run.
void LookUpZonesLeftForLater() {
  if (WaitingForZones == nullptr) {
    return;
  }
  CheckZonesLeftForLater();
  Build(*WaitingForZones, WaitingStart);
  WaitingForZones = nullptr;
}

}  // namespace

void ConfigureClockSchedules(const std::vector<ScheduleSettings>& schedules,
                             std::chrono::sys_seconds now, ZoneLookup zones) {
  const std::chrono::sys_seconds start =
      LastTimerCall ? *LastTimerCall + std::chrono::seconds(1) : now;
  if (zones == ZoneLookup::kAtTheFirstTimerCall) {
    WaitingForZones = &schedules;
    WaitingStart = start;
    Build({}, start);
    return;
  }
  WaitingForZones = nullptr;
  Build(schedules, start);
}

void SendDueClockSchedules(std::chrono::sys_seconds now) {
  LookUpZonesLeftForLater();
  LastTimerCall = LastTimerCall ? std::max(*LastTimerCall, now) : now;
  for (RunningSchedule& schedule : RunningSchedules) {
    const auto& next = schedule.cursor.Next();
    if (!next || now < next->instant) {
      continue;
    }
    // A paused schedule lets its occurrences pass unsent.
    if (const auto due = schedule.cursor.TakeDue(now);
        due && !IsAnnouncementPaused(schedule.name)) {
      Send(schedule, *due);
    }
  }
}

std::vector<ClockScheduleState> RunningClockSchedules() {
  LookUpZonesLeftForLater();
  std::vector<ClockScheduleState> states;
  states.reserve(RunningSchedules.size());
  for (const RunningSchedule& schedule : RunningSchedules) {
    states.push_back(StateOf(schedule));
  }
  return states;
}

std::optional<ClockScheduleState> FindClockSchedule(std::string_view name_key) {
  LookUpZonesLeftForLater();
  const auto found = ScheduleByKey().find(name_key);
  if (found == ScheduleByKey().end()) {
    return std::nullopt;
  }
  return StateOf(RunningSchedules[found->second]);
}

void StopClockSchedules() {
  RunningSchedules.clear();
  RunningSchedules.shrink_to_fit();
  ScheduleByKey().clear();
  WaitingForZones = nullptr;
  LastTimerCall.reset();
}

}  // namespace Bellwright
