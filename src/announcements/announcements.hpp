#pragma once

namespace Bellwright {

// Called on every game-state timer tick, after the timed messages: the announcement
// lists that are due, in the configured order, then the schedules.
void SendDueAnnouncements();

}  // namespace Bellwright
