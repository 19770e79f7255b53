#include "automatic/announcement_lists.hpp"

#include <algorithm>
#include <map>
#include <string>

#include "automatic/announcement_pauses.hpp"
#include "automatic/timed_messages.hpp"
#include "base/clock_ticks.hpp"
#include "base/schedule_fields.hpp"
#include "config/timed_message_settings.hpp"

namespace Bellwright {
namespace {

struct RunningList {
  std::string name;
  std::string name_key;
  long long interval_seconds = 0;
  std::int64_t due_ticks = 0;  // on the steady clock
  int last_index = -1;
  OptedOutPlayers opted_out = OptedOutPlayers::kLeftOut;
  const nlohmann::json* section = nullptr;
};

// In the configured order; only lists that are switched on.
std::vector<RunningList> RunningLists;
// Where each runs, by its name key: a name an administrator types is found at once,
// however many lists there are. Made on first use: the library's start-up runs before
// its other static objects are constructed.
std::map<std::string, std::size_t, std::less<>>& ListByKey() {
  static std::map<std::string, std::size_t, std::less<>> lists;
  return lists;
}

AnnouncementListState StateOf(const RunningList& list) {
  return {list.name, list.interval_seconds, list.due_ticks, list.last_index, list.section};
}

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
  ListByKey().clear();
  for (std::size_t index = 0; index < RunningLists.size(); ++index) {
    ListByKey().emplace(RunningLists[index].name_key, index);
  }
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
    states.push_back(StateOf(list));
  }
  return states;
}

std::optional<AnnouncementListState> FindAnnouncementList(std::string_view name_key) {
  const auto found = ListByKey().find(name_key);
  if (found == ListByKey().end()) {
    return std::nullopt;
  }
  return StateOf(RunningLists[found->second]);
}

void StopAnnouncementLists() {
  RunningLists.clear();
  RunningLists.shrink_to_fit();
  ListByKey().clear();
}

}  // namespace Bellwright
