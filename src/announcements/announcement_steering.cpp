#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "announcements/announcement_lists.hpp"
#include "announcements/announcement_names.hpp"
#include "announcements/announcement_pauses.hpp"
#include "announcements/announcements.hpp"
#include "announcements/message_turns.hpp"
#include "announcements/schedules.hpp"
#include "announcements/timed_message_draw.hpp"
#include "announcements/timed_messages.hpp"
#include "base/calendar_text.hpp"
#include "base/clock_ticks.hpp"
#include "base/schedule_fields.hpp"
#include "base/time_zone.hpp"
#include "base/unicode.hpp"
#include "config/config.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

long long SecondsUntil(std::optional<std::int64_t> due_ticks) {
  return due_ticks ? WholeSecondsUntil(*due_ticks, AsaApi::Tools::GetSteadyClockTicks()) : 0;
}

// The calendar moment a tick count stands for, as replies name it.
std::string UtcSecondText(std::int64_t ticks) {
  return CalendarSecondTextUtc(CalendarSecond(ticks));
}

std::string PausedNote(std::string_view name) {
  if (!IsAnnouncementPaused(name)) {
    return {};
  }
  const std::optional<std::int64_t> until = AnnouncementPausedUntil(name);
  return until ? fmt::format(", paused until {}: its turns send nothing", UtcSecondText(*until))
               : std::string(", paused: its turns send nothing");
}

std::string ListStatusLine(const AnnouncementListState& list) {
  return fmt::format("{} (list): on, every {} s{}, next turn in {} s{}", list.name,
                     list.interval_seconds, PausedNote(list.name), SecondsUntil(list.due_ticks),
                     list.next_turn_skipped ? " (skipped)" : "");
}

std::string ScheduleStatusLine(const ClockScheduleState& schedule) {
  if (!schedule.next || !schedule.next_clock_time || schedule.zone == nullptr) {
    return fmt::format("{} (schedule): on{}, nothing more to send", schedule.name,
                       PausedNote(schedule.name));
  }
  const std::int64_t next_ticks =
      static_cast<std::int64_t>(schedule.next->time_since_epoch().count()) * kClockTicksPerSecond;
  // Which step it is, unless it is the clock time itself.
  const std::string step = schedule.next_minutes_left == 0
                               ? std::string()
                               : fmt::format(" ({} {} before {})", schedule.next_minutes_left,
                                             schedule.next_minutes_left == 1 ? "minute" : "minutes",
                                             schedule.next_at_text);
  std::string skipped;
  if (schedule.skipped_clock_time) {
    skipped =
        fmt::format(", the occurrence at {} skipped",
                    CalendarMinuteText(LocalTime(*schedule.zone, *schedule.skipped_clock_time)));
  }
  return fmt::format(
      "{} (schedule): on{}, next at {} {}{} in {} s{}", schedule.name, PausedNote(schedule.name),
      CalendarMinuteText(LocalTime(*schedule.zone, *schedule.next)), schedule.zone_name, step,
      WholeSecondsUntil(next_ticks, AsaApi::Tools::GetSystemClockTicks()), skipped);
}

CommandOutcome UnknownSteerable(std::string_view typed) {
  return CommandOutcome::Failure(
      fmt::format("No announcement list or schedule is named \"{}\"; there are: {}, {}", typed,
                  fmt::join(SteerableNames(), ", "), kAllName));
}

constexpr std::string_view kUntil = "sends nothing until bw.resume, a reload or a restart";

// Each of `names`, or the one `typed` names.
template <typename Change>
CommandOutcome ChangeEach(std::string_view typed, std::string_view done, std::string_view unchanged,
                          std::string_view after, Change&& change) {
  if (AnnouncementNameKey(typed) == kAllName) {
    const std::vector<std::string> names = SteerableNames();
    for (const std::string& name : names) {
      change(name);
    }
    return CommandOutcome::Success(
        fmt::format("{} all: {} ({})", done, fmt::join(names, ", "), after));
  }
  const std::optional<std::string> name = RunningAnnouncementName(typed);
  if (!name) {
    return UnknownSteerable(typed);
  }
  return CommandOutcome::Success(change(*name)
                                     ? fmt::format("{} {}: {}", done, *name, after)
                                     : fmt::format("{} was {} already", *name, unchanged));
}

constexpr std::string_view kSwitchedOff = "off (\"Enabled\" is not true)";

// The lists or schedules of `kind` that cannot run, each with its reason.
void AddIdleLines(const std::vector<IdleAnnouncement>& idle, std::string_view kind,
                  std::vector<std::string>& lines) {
  for (const IdleAnnouncement& item : idle) {
    if (item.kind == kind) {
      lines.push_back(fmt::format("{} ({}): does not run: {}", item.name, kind, item.reason));
    }
  }
}

// A schedule that is read but does not run: switched off, or its zone is unknown.
std::string WhyIdle(const ScheduleSettings& schedule) {
  if (!schedule.enabled) {
    return std::string(kSwitchedOff);
  }
  if (const std::string problem = TimeZoneDatabaseProblem();
      !problem.empty() && schedule.times.zone_name != "UTC") {
    return "does not run: the time-zone database cannot be read";
  }
  return fmt::format("does not run: the time zone \"{}\" is not known", schedule.times.zone_name);
}

std::string TimedStatusLine() {
  const TimedMessageSettings& timed = LiveSettings().announcements.timed;
  if (!timed.enabled) {
    return "timed (TimedMessages): off";
  }
  const auto count = timed.list.messages.size();
  const std::string paused = PausedNote(kTimedName);
  return fmt::format(
      "timed (TimedMessages): on, every {} s, {} {} in {} order{}, next turn in {} s{}",
      std::max(1.0, timed.interval_seconds), count, count == 1 ? "message" : "messages",
      timed.list.order == MessageOrder::kSequential ? "sequential" : "random", paused,
      SecondsToNextTimedMessage(), IsNextTimedMessageSkipped() ? " (skipped)" : "");
}

}  // namespace

CommandOutcome PauseAnnouncements(std::string_view name, std::optional<int> minutes) {
  if (!minutes) {
    return ChangeEach(name, "Paused", "paused", kUntil,
                      [](std::string_view each) { return PauseAnnouncement(each, std::nullopt); });
  }
  const std::int64_t length = static_cast<std::int64_t>(*minutes) * 60 * kClockTicksPerSecond;
  const PauseEnd end{AsaApi::Tools::GetSteadyClockTicks() + length,
                     AsaApi::Tools::GetSystemClockTicks() + length};
  const std::string after = fmt::format(
      "sends nothing for {} {}, until {}, or until bw.resume, a reload or a restart", *minutes,
      *minutes == 1 ? "minute" : "minutes", UtcSecondText(end.calendar_ticks));
  // A pause for a time replaces any earlier one, so it always changes something.
  return ChangeEach(name, "Paused", "paused", after, [end](std::string_view each) {
    PauseAnnouncement(each, end);
    return true;
  });
}

CommandOutcome ResumeAnnouncements(std::string_view name) {
  return ChangeEach(name, "Resumed", "running", "its turns send again when due",
                    [](std::string_view each) { return ResumeAnnouncement(each); });
}

CommandOutcome SkipAnnouncement(std::string_view typed) {
  const std::string key = AnnouncementNameKey(typed);
  if (key == kAllName) {
    return CommandOutcome::Failure("bw.skip takes one list or schedule: bw.skip NAME");
  }
  if (key == kTimedName) {
    return SkipNextTimedMessage()
               ? CommandOutcome::Success(
                     fmt::format("Skipped timed: its next turn, in {} s, sends nothing",
                                 SecondsToNextTimedMessage()))
               : CommandOutcome::Success("timed: its next turn is skipped already");
  }
  if (const std::optional<AnnouncementListState> list = FindAnnouncementList(key)) {
    return SkipNextListTurn(list->name) ? CommandOutcome::Success(fmt::format(
                                              "Skipped {}: its next turn, in {} s, sends nothing",
                                              list->name, SecondsUntil(list->due_ticks)))
                                        : CommandOutcome::Success(fmt::format(
                                              "{}: its next turn is skipped already", list->name));
  }
  const std::optional<ClockScheduleState> schedule = FindClockSchedule(key);
  if (!schedule) {
    return UnknownSteerable(typed);
  }
  const auto clock_time = SkipNextClockOccurrence(schedule->name);
  if (!clock_time || schedule->zone == nullptr) {
    return CommandOutcome::Failure(
        fmt::format("{} has nothing more to send: nothing to skip", schedule->name));
  }
  return CommandOutcome::Success(fmt::format(
      "Skipped {}: the occurrence at {} {}{} and each of its steps still to come send nothing",
      schedule->name, CalendarMinuteText(LocalTime(*schedule->zone, *clock_time)),
      schedule->zone_name,
      schedule->zone_name == "UTC" ? std::string()
                                   : fmt::format(" ({})", CalendarSecondTextUtc(*clock_time))));
}

std::vector<std::string> AnnouncementStatusLines() {
  const AnnouncementSettings& settings = LiveSettings().announcements;
  std::vector<std::string> lines{TimedStatusLine()};
  const std::vector<AnnouncementListState> lists = RunningAnnouncementLists();
  for (const AnnouncementListSettings& list : settings.lists) {
    const auto running = std::ranges::find(lists, list.name, &AnnouncementListState::name);
    lines.push_back(running != lists.end() ? ListStatusLine(*running)
                                           : fmt::format("{} (list): {}", list.name, kSwitchedOff));
  }
  AddIdleLines(settings.idle, "list", lines);
  const std::vector<ClockScheduleState> schedules = RunningClockSchedules();
  for (const ScheduleSettings& schedule : settings.schedules) {
    const auto running = std::ranges::find(schedules, schedule.name, &ClockScheduleState::name);
    lines.push_back(running != schedules.end()
                        ? ScheduleStatusLine(*running)
                        : fmt::format("{} (schedule): {}", schedule.name, WhyIdle(schedule)));
  }
  AddIdleLines(settings.idle, "schedule", lines);
  return lines;
}

std::optional<std::string> WhyNotRunning(std::string_view name) {
  const std::string key = AnnouncementNameKey(name);
  const AnnouncementSettings& settings = LiveSettings().announcements;
  for (const AnnouncementListSettings& list : settings.lists) {
    if (!list.enabled && AnnouncementNameKey(list.name) == key) {
      return fmt::format("{} is {}", list.name, kSwitchedOff);
    }
  }
  for (const ScheduleSettings& schedule : settings.schedules) {
    if (AnnouncementNameKey(schedule.name) == key && !FindClockSchedule(key)) {
      return fmt::format("{}: {}", schedule.name, WhyIdle(schedule));
    }
  }
  for (const IdleAnnouncement& item : settings.idle) {
    if (AnnouncementNameKey(item.name) == key) {
      return fmt::format("{}: does not run: {}", item.name, item.reason);
    }
  }
  return std::nullopt;
}

}  // namespace Bellwright
