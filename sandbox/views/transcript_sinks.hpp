#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "host_library/events.hpp"
#include "views/readable_view.hpp"

namespace Sandbox {

// A transcript writing each event to `out` as one JSON object a line.
std::unique_ptr<EventSink> MakeJsonlTranscript(std::ostream& out);
// A transcript writing each event to `out` as the view shows it.
std::unique_ptr<EventSink> MakeHumanTranscript(std::ostream& out, const HumanView& view);

// Hands each event to every sink given, in order; null entries are skipped.
class EventFanOut final : public EventSink {
 public:
  explicit EventFanOut(std::vector<EventSink*> sinks);
  void Write(const Event& event) override;

 private:
  std::vector<EventSink*> sinks_;
};

}  // namespace Sandbox
