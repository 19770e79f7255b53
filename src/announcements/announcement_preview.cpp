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
#include "base/schedule_fields.hpp"
#include "config/config.hpp"

namespace Bellwright {
namespace {

// One entry to the viewer, or in words without one; `which` names it in the reply.
CommandOutcome PreviewEntry(const MessageEntry& entry, const std::string& which,
                            AShooterPlayerController* viewer, const TextFill& fill) {
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

CommandOutcome PreviewSchedule(const ClockScheduleState& schedule, std::optional<int> entry,
                               AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure(fmt::format("{} has one message: give no N", schedule.name));
  }
  return PreviewEntry(*schedule.message, schedule.name, viewer, schedule.preview_fill);
}

}  // namespace

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
  return std::nullopt;
}

}  // namespace Bellwright
