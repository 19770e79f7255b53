#include "automatic/timed_schedule.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "automatic/announcement_pauses.hpp"
#include "automatic/automatic.hpp"
#include "automatic/timed_messages.hpp"
#include "base/clock_ticks.hpp"
#include "config/timed_message_settings.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// Steady-clock ticks at or after which the next message is due; none: at the next
// timer call. An interval is a duration, so a calendar clock set back or forward
// neither silences the messages nor hurries them.
constinit std::optional<std::int64_t> NextTimedMessageTime;

std::int64_t IntervalTicks(const TimedMessagesSection& timed) {
  const double seconds = timed.IntervalSeconds();
  const double bounded = std::clamp(seconds, -kLongestConfiguredSeconds, kLongestConfiguredSeconds);
  return static_cast<std::int64_t>(bounded) * kClockTicksPerSecond;
}

}  // namespace

void SendTimedMessageIfDue() {
  const TimedMessagesSection timed;
  if (!timed.Enabled()) {
    return;
  }
  const std::int64_t now = AsaApi::Tools::GetSteadyClockTicks();
  if (NextTimedMessageTime && now < *NextTimedMessageTime) {
    return;
  }
  // Counted from this send, and set before the message is built, so a message that
  // cannot be sent still uses up its turn.
  NextTimedMessageTime = now + IntervalTicks(timed);
  if (IsAnnouncementPaused("timed")) {
    return;
  }
  SendTimedMessage();
}

long long SecondsToNextTimedMessage() {
  return NextTimedMessageTime
             ? WholeSecondsUntil(*NextTimedMessageTime, AsaApi::Tools::GetSteadyClockTicks())
             : 0;
}

// The first tick with timed messages on sends at once.
void StartTimedMessages() {
  StopTimedMessages();
}

void StopTimedMessages() {
  NextTimedMessageTime.reset();
  ForgetLastTimedMessage();
}

}  // namespace Bellwright
