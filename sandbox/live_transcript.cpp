#include "live_transcript.hpp"

#include <fmt/chrono.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "host_library/clock.hpp"
#include "human_transcript.hpp"

namespace Sandbox {
namespace {

// https://no-color.org: a set NO_COLOR turns colour off even on a terminal.
bool UseColour() {
  return ::isatty(STDOUT_FILENO) != 0 && std::getenv("NO_COLOR") == nullptr;
}

std::string WallClockTime() {
  const std::time_t now = std::chrono::system_clock::to_time_t(TheClock().Now());
  std::tm local{};
  ::localtime_r(&now, &local);
  return fmt::format("{:%H:%M:%S}", local);
}

}  // namespace

LiveTranscript::LiveTranscript(TranscriptFormat format, ConsoleInput& console)
    : format_(format), console_(console), colour_(UseColour()) {}

void LiveTranscript::Write(const Event& event) {
  if (format_ == TranscriptFormat::kJsonl) {
    // Texts from the plug-in may hold bytes that are not UTF-8; shown as U+FFFD.
    console_.Print(stdout, event.dump(-1, ' ', false, Event::error_handler_t::replace) + '\n');
    return;
  }
  console_.Print(stdout, FormatHumanEvent(event, WallClockTime(), colour_));
}

}  // namespace Sandbox
