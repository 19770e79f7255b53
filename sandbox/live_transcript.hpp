#pragma once

#include "console_input.hpp"
#include "host_library/events.hpp"
#include "transcript.hpp"

namespace Sandbox {

// The live server's transcript: each event printed as it happens, above the prompt.
// The human form shows the wall-clock time and, on a terminal, the game's colours.
class LiveTranscript final : public EventSink {
 public:
  LiveTranscript(TranscriptFormat format, ConsoleInput& console);

  void Write(const Event& event) override;

 private:
  TranscriptFormat format_;
  ConsoleInput& console_;
  bool colour_;
};

}  // namespace Sandbox
