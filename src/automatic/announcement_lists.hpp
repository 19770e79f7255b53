#pragma once

#include <cstdint>
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

}  // namespace Bellwright
