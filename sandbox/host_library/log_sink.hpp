#pragma once

#include <spdlog/sinks/base_sink.h>

#include <mutex>

namespace Sandbox {

// The host's log sink: each message becomes a `log` event with the line as the
// sink formats it. On the virtual clock the message's time is the clock's, so a
// script's log lines repeat exactly.
class TranscriptLogSink final : public spdlog::sinks::base_sink<std::mutex> {
 protected:
  void sink_it_(const spdlog::details::log_msg& message) override;
  void flush_() override {}
};

// Gives every host sink the host's own formatter back (a plug-in sets its pattern
// on the shared sinks).
void ResetLogFormatters();

}  // namespace Sandbox
