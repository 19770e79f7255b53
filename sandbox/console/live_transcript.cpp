#include "console/live_transcript.hpp"

namespace Sandbox {

LiveTranscript::LiveTranscript(TranscriptFormat format, ConsoleInput& console,
                               const HumanView& view)
    : format_(format), console_(console), view_(view) {}

void LiveTranscript::Write(const Event& event) {
  if (format_ == TranscriptFormat::kJsonl) {
    // Texts from the plug-in may hold bytes that are not UTF-8; shown as U+FFFD.
    console_.Print(stdout, event.dump(-1, ' ', false, Event::error_handler_t::replace) + '\n');
    return;
  }
  if (const std::string lines = view_.Lines(event); !lines.empty()) {
    console_.Print(stdout, lines);
  }
}

}  // namespace Sandbox
