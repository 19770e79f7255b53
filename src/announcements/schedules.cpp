#include "announcements/schedules.hpp"

#include <algorithm>
#include <map>
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
  const std::map<int, MessageEntry>* step_messages = nullptr;
  // bw.skip: the occurrences counting down to this clock time pass unsent.
  std::optional<std::chrono::sys_seconds> skipped_clock_time;

  [[nodiscard]] const MessageEntry& MessageAt(int minutes_left) const {
    const auto step = step_messages->find(minutes_left);
    return step == step_messages->end() ? *message : step->second;
  }
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
  for (const int step : minutes) {
    steps.push_back({step, &schedule.MessageAt(step), CountdownFill(step, at_text)});
  }
  return steps;
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
         &schedule.message, &schedule.step_messages, std::nullopt});
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
    // A paused schedule, or a skipped occurrence, lets its occurrences pass unsent.
    if (const auto due = schedule.cursor.TakeDue(now);
        due && ClockTimeOf(*due) != schedule.skipped_clock_time &&
        !IsAnnouncementPaused(schedule.name)) {
      Send(schedule, *due);
    }
  }
}

std::vector<ClockScheduleState> RunningClockSchedules() {
  std::vector<ClockScheduleState> states;
  for (const RunningSchedule& schedule : RunningSchedules) {
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
    states.push_back(std::move(state));
  }
  return states;
}

std::vector<ScheduledMessage> UpcomingClockMessages(std::string_view name,
                                                    std::chrono::sys_seconds until,
                                                    std::size_t most) {
  std::vector<ScheduledMessage> messages;
  const auto schedule = std::ranges::find(RunningSchedules, name, &RunningSchedule::name);
  if (schedule == RunningSchedules.end()) {
    return messages;
  }
  std::optional<Occurrence> next = schedule->cursor.Next();
  while (next && next->instant <= until && messages.size() < most) {
    messages.push_back({next->instant, ClockTimeOf(*next), next->minutes_left,
                        ToUtf8(FString(schedule->at_texts[next->at_index]))});
    next = FirstOccurrenceFrom(schedule->cursor.Times(), next->instant + std::chrono::seconds{1});
  }
  return messages;
}

std::optional<std::chrono::sys_seconds> SkipNextClockOccurrence(std::string_view name) {
  const auto schedule = std::ranges::find(RunningSchedules, name, &RunningSchedule::name);
  if (schedule == RunningSchedules.end() || !schedule->cursor.Next()) {
    return std::nullopt;
  }
  schedule->skipped_clock_time = ClockTimeOf(*schedule->cursor.Next());
  return schedule->skipped_clock_time;
}

void StopClockSchedules() {
  RunningSchedules.clear();
  RunningSchedules.shrink_to_fit();
  LastTimerCall.reset();
}

}  // namespace Bellwright
