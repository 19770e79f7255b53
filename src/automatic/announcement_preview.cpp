#include <fmt/format.h>
#include <fmt/ranges.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "automatic/announcement_lists.hpp"
#include "automatic/announcement_names.hpp"
#include "automatic/automatic.hpp"
#include "automatic/clock_schedules.hpp"
#include "automatic/timed_message_draw.hpp"
#include "automatic/timed_messages.hpp"
#include "automatic/welcome_message.hpp"
#include "config/timed_message_settings.hpp"

namespace Bellwright {
namespace {

std::optional<TimedMessageEntry> EntryAt(const TimedMessagesSection& list, int index) {
  try {
    return list.Message(index);
  } catch (const std::exception&) {
    // "Messages" is not an array: the entry has nothing to read.
    return std::nullopt;
  }
}

// One entry to the viewer, or in words without one; `which` names it in the reply.
CommandOutcome PreviewEntry(const std::optional<TimedMessageEntry>& entry, const std::string& which,
                            AShooterPlayerController* viewer, const TextFill& fill) {
  std::optional<std::vector<std::string>> described;
  if (entry) {
    described = DescribeTimedEntry(*entry, fill);
  }
  if (!described) {
    return CommandOutcome::Failure(fmt::format(
        "{} cannot be read: a value of the wrong type, which bellwright-check names", which));
  }
  if (viewer != nullptr) {
    return SendTimedEntryTo(*entry, viewer, fill)
               ? CommandOutcome::Success(fmt::format("Preview of {} sent to you", which))
               : CommandOutcome::Failure(
                     fmt::format("{} cannot be shown: {}", which, described->front()));
  }
  described->front().insert(0, which + ": ");
  return {true, std::move(*described)};
}

// Entry N of "TimedMessages" or of a list; by default the one its order gives next,
// without advancing the order.
CommandOutcome PreviewList(std::string_view name, const TimedMessagesSection& list, int last_index,
                           std::optional<int> entry, AShooterPlayerController* viewer) {
  const int count = list.MessageCount();
  if (count == 0) {
    return CommandOutcome::Failure(fmt::format("{} has no messages to preview", name));
  }
  if (entry && *entry > count) {
    return CommandOutcome::Failure(fmt::format("{} has {} {}: N is 1 to {}", name, count,
                                               count == 1 ? "message" : "messages", count));
  }
  const int index = entry ? *entry - 1 : NextSequentialIndex(last_index, count);
  return PreviewEntry(EntryAt(list, index),
                      fmt::format("{}, message {} of {}", name, index + 1, count), viewer, {});
}

CommandOutcome PreviewSchedule(const ClockScheduleState& schedule, std::optional<int> entry,
                               AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure(fmt::format("{} has one message: give no N", schedule.name));
  }
  return PreviewEntry(TimedMessageEntry(*schedule.section), schedule.name, viewer,
                      schedule.preview_fill);
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

CommandOutcome PreviewFirstJoin(std::optional<int> entry, AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure("firstjoin has one text: give no N");
  }
  std::optional<std::vector<std::string>> described = DescribeFirstJoin();
  if (!described) {
    return CommandOutcome::Failure("firstjoin has no text: the welcome has no FirstJoinMessage");
  }
  if (viewer != nullptr) {
    return SendFirstJoinWelcomeTo(viewer)
               ? CommandOutcome::Success("Preview of firstjoin sent to you")
               : CommandOutcome::Failure("firstjoin cannot be shown");
  }
  described->front().insert(0, "firstjoin: ");
  return {true, std::move(*described)};
}

// What bw.preview takes, in the order the reply to an unknown name lists them.
std::vector<std::string> PreviewableNames() {
  std::vector<std::string> names = SteerableNames();
  names.insert(names.begin() + 1, std::string(kWelcomeName));
  if (DescribeFirstJoin()) {
    names.insert(names.begin() + 2, std::string(kFirstJoinName));
  }
  return names;
}

}  // namespace

CommandOutcome PreviewAnnouncement(std::string_view name, std::optional<int> entry,
                                   AShooterPlayerController* viewer) {
  // Folded once and looked up, so a long name costs one folding however many lists
  // and schedules there are.
  const std::string key = AnnouncementNameKey(name);
  if (key == kTimedName) {
    return PreviewList(kTimedName, TimedMessagesSection(), LastChosenTimedMessage(), entry, viewer);
  }
  if (key == kWelcomeName) {
    return PreviewWelcome(entry, viewer);
  }
  if (key == kFirstJoinName) {
    return PreviewFirstJoin(entry, viewer);
  }
  if (const auto list = FindAnnouncementList(key)) {
    return PreviewList(list->name, TimedMessagesSection::OfList(*list->section), list->last_index,
                       entry, viewer);
  }
  if (const auto schedule = FindClockSchedule(key)) {
    return PreviewSchedule(*schedule, entry, viewer);
  }
  return CommandOutcome::Failure(fmt::format("Nothing to preview is named \"{}\"; there are: {}",
                                             name, fmt::join(PreviewableNames(), ", ")));
}

}  // namespace Bellwright
