#include "announcements/announcement_lists.hpp"

#include <algorithm>
#include <map>
#include <string>

#include "announcements/announcement_pauses.hpp"
#include "announcements/interval_timer.hpp"
#include "announcements/message_turns.hpp"
#include "base/schedule_fields.hpp"

namespace Bellwright {
namespace {

struct RunningList {
  std::string name;
  std::string name_key;
  long long interval_seconds = 0;
  IntervalTimer timer;  // on the steady clock
  int last_index = -1;
  OptedOutPlayers opted_out = OptedOutPlayers::kLeftOut;
  const MessageList* messages = nullptr;
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
  return {list.name, list.interval_seconds, list.timer.DueTicks(), list.last_index, list.messages};
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
        IntervalTimer(now_ticks + IntervalTicks(static_cast<double>(list.interval_seconds))),
        -1,
        list.leave_out_opted_out ? OptedOutPlayers::kLeftOut : OptedOutPlayers::kIncluded,
        &list.list};
    const auto earlier = std::ranges::find(RunningLists, next.name_key, &RunningList::name_key);
    if (earlier != RunningLists.end() && earlier->interval_seconds == next.interval_seconds) {
      next.timer = earlier->timer;
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
    if (!list.timer.TakeTurn(now_ticks,
                             IntervalTicks(static_cast<double>(list.interval_seconds)))) {
      continue;
    }
    // A paused list's clock keeps moving, but its turn neither sends nor moves its order.
    if (IsAnnouncementPaused(list.name)) {
      continue;
    }
    SendListTurn(*list.messages, list.last_index, list.opted_out);
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
