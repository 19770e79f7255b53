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
  const std::int64_t next_ticks =
      static_cast<std::int64_t>(schedule.next->time_since_epoch().count()) * kClockTicksPerSecond;
  return fmt::format(
      "{} (schedule): on{}, next at {} {} in {} s", schedule.name, PausedNote(schedule.name),
      CalendarMinuteText(LocalTime(*schedule.zone, *schedule.next)), schedule.zone_name,
      WholeSecondsUntil(next_ticks, AsaApi::Tools::GetSystemClockTicks()));
}

CommandOutcome UnknownSteerable(std::string_view typed) {
  return CommandOutcome::Failure(
      fmt::format("No announcement list or schedule is named \"{}\"; there are: {}, {}", typed,
                  fmt::join(SteerableNames(), ", "), kAllName));
}

constexpr std::string_view kUntil = "sends nothing until bw.resume, a reload or a restart";

template <bool (*Change)(std::string_view)>
CommandOutcome ChangeEach(std::string_view typed, std::string_view done, std::string_view unchanged,
                          std::string_view after) {
  if (AnnouncementNameKey(typed) == kAllName) {
    const std::vector<std::string> names = SteerableNames();
    for (const std::string& name : names) {
      Change(name);
    }
    return CommandOutcome::Success(
        fmt::format("{} all: {} ({})", done, fmt::join(names, ", "), after));
  }
  const std::optional<std::string> name = RunningAnnouncementName(typed);
  if (!name) {
    return UnknownSteerable(typed);
  }
  return CommandOutcome::Success(Change(*name)
                                     ? fmt::format("{} {}: {}", done, *name, after)
                                     : fmt::format("{} was {} already", *name, unchanged));
}

std::string TimedStatusLine() {
  const TimedMessageSettings& timed = LiveSettings().announcements.timed;
  if (!timed.enabled) {
    return "timed (TimedMessages): off";
  }
  const auto count = timed.list.messages.size();
  const std::string_view paused = PausedNote(kTimedName);
  return fmt::format(
      "timed (TimedMessages): on, every {} s, {} {} in {} order{}, next turn in {} s",
      std::max(1.0, timed.interval_seconds), count, count == 1 ? "message" : "messages",
      timed.list.order == MessageOrder::kSequential ? "sequential" : "random", paused,
      SecondsToNextTimedMessage());
}

}  // namespace

CommandOutcome PauseAnnouncements(std::string_view name) {
  return ChangeEach<&PauseAnnouncement>(name, "Paused", "paused", kUntil);
}

CommandOutcome ResumeAnnouncements(std::string_view name) {
  return ChangeEach<&ResumeAnnouncement>(name, "Resumed", "running",
                                         "its turns send again when due");
}

std::vector<std::string> AnnouncementStatusLines() {
  std::vector<std::string> lines{TimedStatusLine()};
  for (const AnnouncementListState& list : RunningAnnouncementLists()) {
    lines.push_back(ListStatusLine(list));
  }
  for (const ClockScheduleState& schedule : RunningClockSchedules()) {
    lines.push_back(ScheduleStatusLine(schedule));
  }
  return lines;
}

}  // namespace Bellwright
