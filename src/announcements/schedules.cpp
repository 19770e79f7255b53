#include "announcements/schedules.hpp"

#include <optional>
#include <string>

#include "announcements/announcement_pauses.hpp"
#include "announcements/message_turns.hpp"
#include "announcements/schedule_occurrences.hpp"
#include "base/placeholders.hpp"
#include "base/text.hpp"

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
// The last timer call's second: a reload counts occurrences from the one after it.
std::optional<std::chrono::sys_seconds> LastTimerCall;

constexpr std::u16string_view kCountdownFields[] = {u"Minutes", u"Time"};

ClockTimes TimesOf(const ScheduleTimes& times) {
  return {times.at_minutes, times.on_day, times.zone, times.before_minutes};
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

}  // namespace

void ConfigureClockSchedules(const std::vector<ScheduleSettings>& schedules,
                             std::chrono::sys_seconds now) {
  const std::chrono::sys_seconds start =
      LastTimerCall ? *LastTimerCall + std::chrono::seconds(1) : now;
  std::vector<RunningSchedule> running;
  for (const ScheduleSettings& schedule : schedules) {
    if (!schedule.enabled) {
      continue;
    }
    std::vector<std::u16string> at_texts;
    for (const std::string& text : schedule.times.at_texts) {
      at_texts.push_back(FromUtf8(text).Wide());
    }
    running.push_back(
        {schedule.name, schedule.times.zone_name, schedule.times.zone,
         OccurrenceCursor(TimesOf(schedule.times), start), std::move(at_texts),
         schedule.leave_out_opted_out ? OptedOutPlayers::kLeftOut : OptedOutPlayers::kIncluded,
         &schedule.message});
  }
  RunningSchedules = std::move(running);
}

void SendDueClockSchedules(std::chrono::sys_seconds now) {
  LastTimerCall = now;
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
  std::vector<ClockScheduleState> states;
  for (const RunningSchedule& schedule : RunningSchedules) {
    std::optional<std::chrono::sys_seconds> next;
    if (schedule.cursor.Next()) {
      next = schedule.cursor.Next()->instant;
    }
    states.push_back({schedule.name, schedule.zone_name, schedule.zone, next, schedule.message,
                      PreviewFill(schedule)});
  }
  return states;
}

void StopClockSchedules() {
  RunningSchedules.clear();
  RunningSchedules.shrink_to_fit();
  LastTimerCall.reset();
}

}  // namespace Bellwright
