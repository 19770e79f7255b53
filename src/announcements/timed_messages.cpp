#include "announcements/timed_messages.hpp"

#include <algorithm>
#include <cstdint>

#include "announcements/announcement_pauses.hpp"
#include "announcements/announcements.hpp"
#include "announcements/message_turns.hpp"
#include "base/clock_ticks.hpp"
#include "config/timed_message_settings.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// Host-clock ticks (100 ns since 1970) at or after which the next message is due.
std::int64_t NextTimedMessageTime = 0;

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
  const std::int64_t now = AsaApi::Tools::GetSystemClockTicks();
  if (now < NextTimedMessageTime) {
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
  return WholeSecondsUntil(NextTimedMessageTime, AsaApi::Tools::GetSystemClockTicks());
}

// The first tick with timed messages on sends at once.
void StartTimedMessages() {
  StopTimedMessages();
}

void StopTimedMessages() {
  NextTimedMessageTime = 0;
  ForgetLastTimedMessage();
}

}  // namespace Bellwright
