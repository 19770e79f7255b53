#pragma once

#include "console/console_input.hpp"
#include "host_library/events.hpp"
#include "transcript_request.hpp"
#include "views/readable_view.hpp"

namespace Sandbox {

// The live server's transcript: each event printed as it happens, above the prompt,
// as JSON lines or as the human view shows it.
class LiveTranscript final : public EventSink {
 public:
  LiveTranscript(TranscriptFormat format, ConsoleInput& console, const HumanView& view);

  void Write(const Event& event) override;

 private:
  TranscriptFormat format_;
  ConsoleInput& console_;
  HumanView view_;
};

}  // namespace Sandbox
