#include "announcements/timed_messages.hpp"

#include "announcements/announcement_names.hpp"
#include "announcements/announcement_pauses.hpp"
#include "announcements/announcements.hpp"
#include "announcements/interval_timer.hpp"
#include "announcements/message_turns.hpp"
#include "config/config.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

constinit IntervalTimer Timer;
// The index of the message chosen last, by either order. Kept across reloads, so that a
// sequential order goes on where it was.
constinit int LastTimedMessageIndex = -1;

}  // namespace

void SendTimedMessageIfDue() {
  const TimedMessageSettings& timed = LiveSettings().announcements.timed;
  if (!timed.enabled || !Timer.TakeTurn(AsaApi::Tools::GetSteadyClockTicks(),
                                        IntervalTicks(timed.interval_seconds))) {
    return;
  }
  if (IsAnnouncementPaused(kTimedName)) {
    return;
  }
  SendListTurn(timed.list, LastTimedMessageIndex, OptedOutPlayers::kLeftOut);
}

long long SecondsToNextTimedMessage() {
  return Timer.SecondsUntilDue(AsaApi::Tools::GetSteadyClockTicks());
}

int LastChosenTimedMessage() {
  return LastTimedMessageIndex;
}

// The first tick with timed messages on sends at once.
void StartTimedMessages() {
  StopTimedMessages();
}

void StopTimedMessages() {
  Timer = IntervalTimer();
  LastTimedMessageIndex = -1;
}

}  // namespace Bellwright
