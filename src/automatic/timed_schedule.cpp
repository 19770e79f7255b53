#include "automatic/timed_schedule.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "automatic/timed_messages.hpp"
#include "config/config.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// About three centuries: far beyond any sensible interval, and the due time stays
// well inside 64 bits however large a number the configuration holds.
constexpr double kLongestIntervalSeconds = 1e10;

// Host-clock ticks (100 ns since 1970) at or after which the next message is due.
std::int64_t NextTimedMessageTime = 0;

std::int64_t IntervalTicks(const nlohmann::json& timed) {
  const double seconds = std::trunc(Settings::ValueOr(timed, "Interval", 0.0));
  const double bounded = std::clamp(seconds, -kLongestIntervalSeconds, kLongestIntervalSeconds);
  return static_cast<std::int64_t>(bounded) * kTicksPerSecond;
}

}  // namespace

void SendTimedMessageIfDue() {
  const auto& timed = Settings::SectionOrEmpty(ConfigDocument(), "TimedMessages");
  if (!Settings::ValueOr(timed, "Enabled", false)) {
    return;
  }
  const std::int64_t now = AsaApi::Tools::GetSystemClockTicks();
  if (now < NextTimedMessageTime) {
    return;
  }
  // Counted from this send, and set before the message is built, so a message that
  // cannot be sent still uses up its turn.
  NextTimedMessageTime = now + IntervalTicks(timed);
  SendTimedMessage();
}

void ResetTimedSchedule() {
  NextTimedMessageTime = 0;
}

}  // namespace Bellwright
