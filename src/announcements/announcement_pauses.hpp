#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The announcement lists and schedules an administrator paused, by name ignoring
// letter case ("timed" is the TimedMessages section). A paused one keeps its clock but sends
// nothing; a reload, like an unload, resumes them all (announcements.hpp). A pause for
// some minutes ends by itself at the first timer call after that time.
namespace Bellwright {

// When a pause for some minutes ends: it is measured on the steady clock, so that a
// calendar clock set back or forward does not stretch or cut it, and named by the
// calendar moment it was due to end at when it began.
struct PauseEnd {
  std::int64_t steady_ticks = 0;
  std::int64_t calendar_ticks = 0;
};

[[nodiscard]] bool IsAnnouncementPaused(std::string_view name);
// Whether it was running before. `end`: when the pause ends by itself; none waits for
// bw.resume. A pause given again replaces the earlier one.
bool PauseAnnouncement(std::string_view name, std::optional<PauseEnd> end);
// Whether it was paused before.
bool ResumeAnnouncement(std::string_view name);
// The calendar moment the pause of `name` ends at by itself; none when it is not paused
// or waits for bw.resume.
[[nodiscard]] std::optional<std::int64_t> AnnouncementPausedUntil(std::string_view name);

}  // namespace Bellwright
