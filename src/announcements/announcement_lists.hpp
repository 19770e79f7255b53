#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/announcement_settings.hpp"

namespace Bellwright {

// The announcement lists that run, each with its own due time and order. At the
// plug-in's load, and at a reload, from the configuration now in use: a list keeps its
// due time and order, found by its name ignoring letter case, while its interval is
// unchanged; any other list's first turn comes one interval after `now`.
void ConfigureAnnouncementLists(const std::vector<AnnouncementListSettings>& lists,
                                std::int64_t now_ticks);

// Every list that is due sends one message, in the configured order, and its next turn
// is due one interval from now.
void SendDueAnnouncementLists(std::int64_t now_ticks);

void StopAnnouncementLists();

// What bw.status, bw.preview and bw.pause see of a list that runs.
struct AnnouncementListState {
  std::string name;
  long long interval_seconds = 0;
  // On the steady clock; none when the next turn comes at the next timer call.
  std::optional<std::int64_t> due_ticks;
  // The index of the message chosen last; -1 before the first.
  int last_index = -1;
  const MessageList* messages = nullptr;
};
std::vector<AnnouncementListState> RunningAnnouncementLists();
// The list that runs under this name key (AnnouncementNameKey), if any.
std::optional<AnnouncementListState> FindAnnouncementList(std::string_view name_key);

}  // namespace Bellwright
