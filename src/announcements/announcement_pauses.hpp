#pragma once

#include <string_view>

// The announcement lists and schedules an administrator paused, by name ignoring
// letter case ("timed" is the TimedMessages section). A paused one keeps its clock but sends
// nothing; a reload, like an unload, resumes them all (announcements.hpp).
namespace Bellwright {

[[nodiscard]] bool IsAnnouncementPaused(std::string_view name);
// Whether it was running before.
bool PauseAnnouncement(std::string_view name);
// Whether it was paused before.
bool ResumeAnnouncement(std::string_view name);

}  // namespace Bellwright
