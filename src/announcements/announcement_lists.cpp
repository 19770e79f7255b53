#include "announcements/announcement_lists.hpp"

#include <algorithm>
#include <string>

#include "announcements/announcement_pauses.hpp"
#include "announcements/message_turns.hpp"
#include "base/clock_ticks.hpp"
#include "base/schedule_fields.hpp"
#include "config/timed_message_settings.hpp"

namespace Bellwright {
namespace {

struct RunningList {
  std::string name;
  std::string name_key;
  long long interval_seconds = 0;
  std::int64_t due_ticks = 0;
  int last_index = -1;
  OptedOutPlayers opted_out = OptedOutPlayers::kLeftOut;
  const nlohmann::json* section = nullptr;
};

// In the configured order; only lists that are switched on.
std::vector<RunningList> RunningLists;

std::int64_t IntervalTicks(long long seconds) {
  return static_cast<std::int64_t>(seconds) * kClockTicksPerSecond;
}

}  // namespace

void ConfigureAnnouncementLists(const std::vector<AnnouncementListSettings>& lists,
                                std::int64_t now_ticks) {
  std::vector<RunningList> running;
  for (const AnnouncementListSettings& list : lists) {
    if (!list.enabled) {
      continue;
    }
    RunningList next{
        list.name,
        AnnouncementNameKey(list.name),
        list.interval_seconds,
        now_ticks + IntervalTicks(list.interval_seconds),
        -1,
        list.leave_out_opted_out ? OptedOutPlayers::kLeftOut : OptedOutPlayers::kIncluded,
        list.section};
    const auto earlier = std::ranges::find(RunningLists, next.name_key, &RunningList::name_key);
    if (earlier != RunningLists.end() && earlier->interval_seconds == next.interval_seconds) {
      next.due_ticks = earlier->due_ticks;
      next.last_index = earlier->last_index;
    }
    running.push_back(std::move(next));
  }
  RunningLists = std::move(running);
}

void SendDueAnnouncementLists(std::int64_t now_ticks) {
  for (RunningList& list : RunningLists) {
    if (now_ticks < list.due_ticks) {
      continue;
    }
    // Set before the message is built, so a turn that cannot send still passes.
    list.due_ticks = now_ticks + IntervalTicks(list.interval_seconds);
    // A paused list's clock keeps moving, but its turn neither sends nor moves its order.
    if (IsAnnouncementPaused(list.name)) {
      continue;
    }
    SendTimedTurn(TimedMessagesSection::OfList(*list.section), list.last_index, list.opted_out);
  }
}

std::vector<AnnouncementListState> RunningAnnouncementLists() {
  std::vector<AnnouncementListState> states;
  states.reserve(RunningLists.size());
  for (const RunningList& list : RunningLists) {
    states.push_back(
        {list.name, list.interval_seconds, list.due_ticks, list.last_index, list.section});
  }
  return states;
}

void StopAnnouncementLists() {
  RunningLists.clear();
  RunningLists.shrink_to_fit();
}

}  // namespace Bellwright
