#include "views/readable_view.hpp"

#include <fmt/chrono.h>
#include <fmt/format.h>

#include <chrono>
#include <cstdint>
#include <ctime>

#include "host_library/clock.hpp"

namespace Sandbox {

std::string ElapsedTimeLabel(const Event& event) {
  const auto seconds = event.value("t", std::int64_t{0});
  return fmt::format("{:02}:{:02}:{:02}", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::string WallClockLabel(const Event& /*event*/) {
  const std::time_t now = std::chrono::system_clock::to_time_t(TheClock().Now());
  std::tm local{};
#ifdef _WIN32
  ::localtime_s(&local, &now);
#else
  ::localtime_r(&now, &local);
#endif
  return fmt::format("{:%H:%M:%S}", local);
}

bool Shows(const ReadableOptions& options, Audience audience) {
  return !(options.quiet_host && audience == Audience::kHost);
}

HumanView::HumanView(ReadableOptions options, const AudienceContext& context, TimeLabel time_label)
    : options_(options), context_(context), time_label_(time_label) {}

std::string HumanView::Lines(const Event& event) const {
  const EventAudience audience = ClassifyEvent(event, context_);
  if (!Shows(options_, audience.audience)) {
    return {};
  }
  return FormatHumanEvent(event, audience, time_label_(event), options_.style);
}

}  // namespace Sandbox
