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
  const std::map<int, MessageEntry>* step_messages = nullptr;
  // bw.skip: the occurrences counting down to this clock time pass unsent.
  std::optional<std::chrono::sys_seconds> skipped_clock_time;

  [[nodiscard]] const MessageEntry& MessageAt(int minutes_left) const {
    const auto step = step_messages->find(minutes_left);
    return step == step_messages->end() ? *message : step->second;
  }
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
  SendEntry(schedule.MessageAt(occurrence.minutes_left), schedule.opted_out,
            CountdownFill(occurrence.minutes_left, schedule.at_texts[occurrence.at_index]));
}

std::chrono::sys_seconds ClockTimeOf(const Occurrence& occurrence) {
  return occurrence.instant + std::chrono::minutes{occurrence.minutes_left};
}

std::vector<ClockScheduleState::Step> PreviewSteps(const RunningSchedule& schedule) {
  const auto& next = schedule.cursor.Next();
  const std::size_t at_index = next ? next->at_index : 0;
  const std::u16string at_text =
      at_index < schedule.at_texts.size() ? schedule.at_texts[at_index] : u"";
  std::vector<int> minutes = schedule.cursor.Times().before_minutes;
  std::ranges::sort(minutes, std::greater<>());
  minutes.erase(std::unique(minutes.begin(), minutes.end()), minutes.end());
  std::vector<ClockScheduleState::Step> steps;
  steps.reserve(minutes.size());
  for (const int step : minutes) {
    steps.push_back({step, &schedule.MessageAt(step), CountdownFill(step, at_text)});
  }
  return steps;
}

ClockScheduleState StateOf(const RunningSchedule& schedule) {
  ClockScheduleState state{.name = schedule.name,
                           .zone_name = schedule.zone_name,
                           .zone = schedule.zone,
                           .steps = PreviewSteps(schedule)};
  if (const auto& next = schedule.cursor.Next()) {
    state.next = next->instant;
    state.next_clock_time = ClockTimeOf(*next);
    state.next_minutes_left = next->minutes_left;
    state.next_at_text = ToUtf8(FString(schedule.at_texts[next->at_index]));
  }
  if (schedule.skipped_clock_time && state.next_clock_time &&
      *schedule.skipped_clock_time >= *state.next_clock_time) {
    state.skipped_clock_time = schedule.skipped_clock_time;
  }
  return state;
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
         &schedule.message, &schedule.step_messages, std::nullopt});
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
    // A paused schedule, or a skipped occurrence, lets its occurrences pass unsent.
    if (const auto due = schedule.cursor.TakeDue(now);
        due && ClockTimeOf(*due) != schedule.skipped_clock_time &&
        !IsAnnouncementPaused(schedule.name)) {
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

std::vector<ScheduledMessage> UpcomingClockMessages(std::string_view name,
                                                    std::chrono::sys_seconds until,
                                                    std::size_t most) {
  std::vector<ScheduledMessage> messages;
  LookUpZonesLeftForLater();
  const auto found = ScheduleByKey().find(AnnouncementNameKey(name));
  if (found == ScheduleByKey().end()) {
    return messages;
  }
  const RunningSchedule* schedule = &RunningSchedules[found->second];
  std::optional<Occurrence> next = schedule->cursor.Next();
  while (next && next->instant <= until && messages.size() < most) {
    messages.push_back({next->instant, ClockTimeOf(*next), next->minutes_left,
                        ToUtf8(FString(schedule->at_texts[next->at_index]))});
    next = FirstOccurrenceFrom(schedule->cursor.Times(), next->instant + std::chrono::seconds{1});
  }
  return messages;
}

std::optional<std::chrono::sys_seconds> SkipNextClockOccurrence(std::string_view name) {
  LookUpZonesLeftForLater();
  const auto found = ScheduleByKey().find(AnnouncementNameKey(name));
  if (found == ScheduleByKey().end() || !RunningSchedules[found->second].cursor.Next()) {
    return std::nullopt;
  }
  RunningSchedule* schedule = &RunningSchedules[found->second];
  schedule->skipped_clock_time = ClockTimeOf(*schedule->cursor.Next());
  return schedule->skipped_clock_time;
}

void StopClockSchedules() {
  RunningSchedules.clear();
  RunningSchedules.shrink_to_fit();
  ScheduleByKey().clear();
  WaitingForZones = nullptr;
  LastTimerCall.reset();
}

}  // namespace Bellwright
