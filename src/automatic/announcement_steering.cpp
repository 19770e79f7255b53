#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automatic/announcement_lists.hpp"
#include "automatic/announcement_pauses.hpp"
#include "automatic/automatic.hpp"
#include "automatic/clock_schedules.hpp"
#include "automatic/restart_countdown.hpp"
#include "automatic/timed_message_draw.hpp"
#include "automatic/timed_messages.hpp"
#include "automatic/timed_schedule.hpp"
#include "automatic/welcome_message.hpp"
#include "base/clock_ticks.hpp"
#include "base/time_zone.hpp"
#include "base/unicode.hpp"
#include "config/timed_message_settings.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

constexpr std::string_view kTimed = "timed";
constexpr std::string_view kAll = "all";
constexpr std::string_view kWelcome = "welcome";

bool SameName(std::string_view typed, std::string_view name) {
  return Unicode::CaseFoldedUtf8(Unicode::Utf8ToUtf16(typed)) ==
         Unicode::CaseFoldedUtf8(Unicode::Utf8ToUtf16(name));
}

// The lists and schedules that can be paused, by name; "timed" is "TimedMessages".
std::vector<std::string> SteerableNames() {
  std::vector<std::string> names{std::string(kTimed)};
  for (AnnouncementListState& list : RunningAnnouncementLists()) {
    names.push_back(std::move(list.name));
  }
  for (ClockScheduleState& schedule : RunningClockSchedules()) {
    names.push_back(std::move(schedule.name));
  }
  return names;
}

long long SecondsUntil(std::int64_t due_ticks) {
  return WholeSecondsUntil(due_ticks, AsaApi::Tools::GetSystemClockTicks());
}

std::string_view PausedNote(std::string_view name) {
  return IsAnnouncementPaused(name) ? ", paused: its turns send nothing" : "";
}

std::string ListStatusLine(const AnnouncementListState& list) {
  return fmt::format("{} (list): on, every {} s{}, next turn in {} s", list.name,
                     list.interval_seconds, PausedNote(list.name), SecondsUntil(list.due_ticks));
}

std::string ScheduleStatusLine(const ClockScheduleState& schedule) {
  if (!schedule.next || schedule.zone == nullptr) {
    return fmt::format("{} (schedule): on{}, nothing more to send", schedule.name,
                       PausedNote(schedule.name));
  }
  const std::chrono::local_seconds local = LocalTime(*schedule.zone, *schedule.next);
  const std::chrono::year_month_day day{std::chrono::floor<std::chrono::days>(local)};
  const std::chrono::hh_mm_ss clock{local - std::chrono::floor<std::chrono::days>(local)};
  const std::int64_t next_ticks =
      static_cast<std::int64_t>(schedule.next->time_since_epoch().count()) * kClockTicksPerSecond;
  return fmt::format("{} (schedule): on{}, next at {:04}-{:02}-{:02} {:02}:{:02} {} in {} s",
                     schedule.name, PausedNote(schedule.name), static_cast<int>(day.year()),
                     static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()),
                     clock.hours().count(), clock.minutes().count(), schedule.zone_name,
                     SecondsUntil(next_ticks));
}

std::optional<std::string> SteerableName(std::string_view typed) {
  for (std::string& name : SteerableNames()) {
    if (SameName(typed, name)) {
      return std::move(name);
    }
  }
  return std::nullopt;
}

CommandOutcome UnknownSteerable(std::string_view typed) {
  return CommandOutcome::Failure(
      fmt::format("No announcement list or schedule is named \"{}\"; there are: {}, {}", typed,
                  fmt::join(SteerableNames(), ", "), kAll));
}

constexpr std::string_view kUntil = "sends nothing until bw.resume, a reload or a restart";

template <bool (*Change)(std::string_view)>
CommandOutcome ChangeEach(std::string_view typed, std::string_view done, std::string_view unchanged,
                          std::string_view after) {
  if (SameName(typed, kAll)) {
    const std::vector<std::string> names = SteerableNames();
    for (const std::string& name : names) {
      Change(name);
    }
    return CommandOutcome::Success(
        fmt::format("{} all: {} ({})", done, fmt::join(names, ", "), after));
  }
  const std::optional<std::string> name = SteerableName(typed);
  if (!name) {
    return UnknownSteerable(typed);
  }
  return CommandOutcome::Success(Change(*name)
                                     ? fmt::format("{} {}: {}", done, *name, after)
                                     : fmt::format("{} was {} already", *name, unchanged));
}

std::string TimedStatusLine() {
  const TimedMessagesSection timed;
  if (!timed.Enabled()) {
    return "timed (TimedMessages): off";
  }
  const int count = timed.MessageCount();
  const std::string_view paused = PausedNote(kTimed);
  return fmt::format(
      "timed (TimedMessages): on, every {} s, {} {} in {} order{}, next turn in {} s",
      std::max(1.0, timed.IntervalSeconds()), count, count == 1 ? "message" : "messages",
      TimedMessageOrderFromName(timed.Order()) == TimedMessageOrder::kSequential ? "sequential"
                                                                                 : "random",
      paused, SecondsToNextTimedMessage());
}

CommandOutcome PreviewTimed(std::optional<int> entry, AShooterPlayerController* viewer) {
  const int count = TimedMessagesSection().MessageCount();
  if (count == 0) {
    return CommandOutcome::Failure("timed has no messages to preview");
  }
  if (entry && *entry > count) {
    return CommandOutcome::Failure(fmt::format("timed has {} {}: N is 1 to {}", count,
                                               count == 1 ? "message" : "messages", count));
  }
  const int index = entry ? *entry - 1 : UpcomingTimedMessageIndex(count);
  const std::string which = fmt::format("timed, message {} of {}", index + 1, count);
  std::optional<std::vector<std::string>> described = DescribeTimedMessage(index);
  if (!described) {
    return CommandOutcome::Failure(fmt::format(
        "{} cannot be read: a value of the wrong type, which bellwright-check names", which));
  }
  if (viewer != nullptr) {
    return SendTimedMessageTo(index, viewer)
               ? CommandOutcome::Success(fmt::format("Preview of {} sent to you", which))
               : CommandOutcome::Failure(
                     fmt::format("{} cannot be shown: {}", which, described->front()));
  }
  described->front().insert(0, which + ": ");
  return {true, std::move(*described)};
}

CommandOutcome PreviewWelcome(std::optional<int> entry, AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure("welcome has one text: give no N");
  }
  if (viewer != nullptr) {
    return SendWelcomeTo(viewer) ? CommandOutcome::Success("Preview of welcome sent to you")
                                 : CommandOutcome::Failure("welcome cannot be shown");
  }
  std::vector<std::string> described = DescribeWelcome();
  described.front().insert(0, "welcome: ");
  return {true, std::move(described)};
}

}  // namespace

CommandOutcome PauseAnnouncements(std::string_view name) {
  return ChangeEach<&PauseAnnouncement>(name, "Paused", "paused", kUntil);
}

CommandOutcome ResumeAnnouncements(std::string_view name) {
  return ChangeEach<&ResumeAnnouncement>(name, "Resumed", "running",
                                         "its turns send again when due");
}

CommandOutcome PreviewAnnouncement(std::string_view name, std::optional<int> entry,
                                   AShooterPlayerController* viewer) {
  if (SameName(name, kTimed)) {
    return PreviewTimed(entry, viewer);
  }
  if (SameName(name, kWelcome)) {
    return PreviewWelcome(entry, viewer);
  }
  return CommandOutcome::Failure(
      fmt::format("Nothing to preview is named \"{}\"; there are: {}, {}", name, kTimed, kWelcome));
}

std::vector<std::string> AnnouncementStatusLines() {
  std::vector<std::string> lines{WelcomeStatusLine(), TimedStatusLine()};
  for (const AnnouncementListState& list : RunningAnnouncementLists()) {
    lines.push_back(ListStatusLine(list));
  }
  for (const ClockScheduleState& schedule : RunningClockSchedules()) {
    lines.push_back(ScheduleStatusLine(schedule));
  }
  lines.push_back(CountdownStatusLine());
  return lines;
}

}  // namespace Bellwright
