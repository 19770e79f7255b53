#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The announcement lists and schedules an administrator paused, by name ignoring
// letter case ("timed" is the TimedMessages section). A paused one keeps its clock but sends
// nothing; a reload, like an unload, resumes them all (announcements.hpp). A pause for
// some minutes ends by itself at the first timer call after that time.
namespace Bellwright {

[[nodiscard]] bool IsAnnouncementPaused(std::string_view name);
// Whether it was running before. `until_ticks`: when the pause ends by itself, on the
// host's clock; none waits for bw.resume. A pause given again replaces the earlier one.
bool PauseAnnouncement(std::string_view name, std::optional<std::int64_t> until_ticks);
// Whether it was paused before.
bool ResumeAnnouncement(std::string_view name);
// When the pause of `name` ends by itself; none when it is not paused or waits for
// bw.resume.
[[nodiscard]] std::optional<std::int64_t> AnnouncementPausedUntil(std::string_view name);

}  // namespace Bellwright
