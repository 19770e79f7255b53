#include "host_library/log_sink.hpp"

#include <spdlog/pattern_formatter.h>

#include "host/tools.hpp"
#include "host_library/clock.hpp"
#include "host_library/events.hpp"

namespace Sandbox {

void TranscriptLogSink::sink_it_(const spdlog::details::log_msg& message) {
  // The calendar clock, set by `clock` in either mode.
  spdlog::details::log_msg stamped = message;
  stamped.time = std::chrono::time_point_cast<spdlog::log_clock::duration>(TheClock().Now());
  spdlog::memory_buf_t formatted;
  formatter_->format(stamped, formatted);
  std::string line(formatted.data(), formatted.size());
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.pop_back();
  }
  Emit("log", {{"line", line}});
}

void ResetLogFormatters() {
  for (const auto& sink : GetLogSinks()) {
    sink->set_formatter(std::make_unique<spdlog::pattern_formatter>());
  }
}

}  // namespace Sandbox

std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks() {
  static std::vector<std::shared_ptr<spdlog::sinks::sink>> sinks{
      std::make_shared<Sandbox::TranscriptLogSink>()};
  return sinks;
}
