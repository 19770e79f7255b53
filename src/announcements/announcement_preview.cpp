#include <fmt/format.h>

#include <optional>
#include <string>
#include <vector>

#include "announcements/announcement_lists.hpp"
#include "announcements/announcement_names.hpp"
#include "announcements/announcements.hpp"
#include "announcements/message_turns.hpp"
#include "announcements/schedules.hpp"
#include "announcements/timed_message_draw.hpp"
#include "announcements/timed_messages.hpp"
#include "base/preview_tally.hpp"
#include "base/schedule_fields.hpp"
#include "config/config.hpp"

namespace Bellwright {
namespace {

// One entry to the viewer, or in words without one; `which` names it in the reply.
CommandOutcome PreviewEntry(const MessageEntry& entry, const std::string& which,
                            AShooterPlayerController* viewer, const TextFill& fill) {
  if (entry.blank) {
    return CommandOutcome::Failure(
        fmt::format("{} has no text, so it is never sent; bellwright-check names it", which));
  }
  std::optional<std::vector<std::string>> described = DescribeEntry(entry, fill);
  if (!described) {
    return CommandOutcome::Failure(fmt::format(
        "{} cannot be read: a value of the wrong type, which bellwright-check names", which));
  }
  if (viewer != nullptr) {
    return SendEntryTo(entry, viewer, fill)
               ? CommandOutcome::Success(fmt::format("Preview of {} sent to you", which))
               : CommandOutcome::Failure(
                     fmt::format("{} cannot be shown: {}", which, described->front()));
  }
  described->front().insert(0, which + ": ");
  return {true, std::move(*described)};
}

// Entry N of the timed messages or of a list; by default the one its order gives next,
// without advancing the order.
CommandOutcome PreviewList(std::string_view name, const MessageList& list, int last_index,
                           std::optional<int> entry, AShooterPlayerController* viewer) {
  const auto count = static_cast<int>(list.messages.size());
  if (count == 0) {
    return CommandOutcome::Failure(fmt::format("{} has no messages to preview", name));
  }
  if (entry && *entry > count) {
    return CommandOutcome::Failure(fmt::format("{} has {} {}: N is 1 to {}", name, count,
                                               count == 1 ? "message" : "messages", count));
  }
  const int index = entry ? *entry - 1 : NextSequentialIndex(last_index, count);
  return PreviewEntry(list.messages[static_cast<std::size_t>(index)],
                      fmt::format("{}, message {} of {}", name, index + 1, count), viewer, {});
}

std::string StepName(const ClockScheduleState& schedule, int minutes) {
  if (minutes == 0) {
    return fmt::format("{}, at {}", schedule.name, schedule.next_at_text);
  }
  return fmt::format("{}, {} {} before {}", schedule.name, minutes,
                     minutes == 1 ? "minute" : "minutes", schedule.next_at_text);
}

// Every step, the earliest first: to the viewer one after the other, or in words.
CommandOutcome PreviewSchedule(const ClockScheduleState& schedule, std::optional<int> entry,
                               AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure(
        fmt::format("{} shows every step at once: give no N", schedule.name));
  }
  CommandOutcome all{true, {}};
  for (const ClockScheduleState::Step& step : schedule.steps) {
    CommandOutcome one =
        PreviewEntry(*step.message, StepName(schedule, step.minutes), viewer, step.fill);
    all.succeeded = all.succeeded && one.succeeded;
    all.lines.insert(all.lines.end(), one.lines.begin(), one.lines.end());
  }
  return all;
}

// Every entry of a list, in list order.
CommandOutcome PreviewEveryEntry(std::string_view name, const MessageList& list,
                                 AShooterPlayerController* viewer) {
  const auto count = static_cast<int>(list.messages.size());
  PreviewTally tally(std::string(name), viewer != nullptr);
  for (int index = 0; index < count; ++index) {
    tally.Add(PreviewEntry(list.messages[static_cast<std::size_t>(index)],
                           fmt::format("{}, message {} of {}", name, index + 1, count), viewer,
                           {}));
  }
  return std::move(tally).Result();
}

CommandOutcome PreviewEveryStep(const ClockScheduleState& schedule,
                                AShooterPlayerController* viewer) {
  PreviewTally tally(schedule.name, viewer != nullptr);
  for (const ClockScheduleState::Step& step : schedule.steps) {
    tally.Add(PreviewEntry(*step.message, StepName(schedule, step.minutes), viewer, step.fill));
  }
  return std::move(tally).Result();
}

// An item that sends nothing is named with the reason rather than left out, so a
// preview of everything also shows what will never reach a player.
CommandOutcome NotShown(std::string reason) {
  return CommandOutcome::Success(fmt::format("Not shown: {}", reason));
}

}  // namespace

CommandOutcome PreviewEveryAnnouncement(AShooterPlayerController* viewer) {
  const AnnouncementSettings& settings = LiveSettings().announcements;
  CommandOutcome all{true, {}};
  if (settings.timed.enabled) {
    AppendOutcome(all, PreviewEveryEntry(kTimedName, settings.timed.list, viewer));
  } else if (!settings.timed.list.messages.empty()) {
    AppendOutcome(all, NotShown("timed (TimedMessages) is off"));
  }
  for (const AnnouncementListSettings& configured : settings.lists) {
    if (const auto list = FindAnnouncementList(AnnouncementNameKey(configured.name))) {
      AppendOutcome(all, PreviewEveryEntry(list->name, *list->messages, viewer));
    } else if (auto why = WhyNotRunning(configured.name)) {
      AppendOutcome(all, NotShown(std::move(*why)));
    }
  }
  for (const ScheduleSettings& configured : settings.schedules) {
    if (const auto schedule = FindClockSchedule(AnnouncementNameKey(configured.name))) {
      AppendOutcome(all, PreviewEveryStep(*schedule, viewer));
    } else if (auto why = WhyNotRunning(configured.name)) {
      AppendOutcome(all, NotShown(std::move(*why)));
    }
  }
  // Looked at by itself, not by name: an idle item may share its name with one that runs.
  for (const IdleAnnouncement& item : settings.idle) {
    AppendOutcome(all, NotShown(fmt::format("{}: does not run: {}", item.name, item.reason)));
  }
  return all;
}

std::optional<CommandOutcome> PreviewAnnouncement(std::string_view key, std::optional<int> entry,
                                                  AShooterPlayerController* viewer) {
  if (key == kTimedName) {
    return PreviewList(kTimedName, LiveSettings().announcements.timed.list,
                       LastChosenTimedMessage(), entry, viewer);
  }
  if (const auto list = FindAnnouncementList(key)) {
    return PreviewList(list->name, *list->messages, list->last_index, entry, viewer);
  }
  if (const auto schedule = FindClockSchedule(key)) {
    return PreviewSchedule(*schedule, entry, viewer);
  }
  if (auto why = WhyNotRunning(key)) {
    return CommandOutcome::Failure(std::move(*why));
  }
  return std::nullopt;
}

}  // namespace Bellwright
