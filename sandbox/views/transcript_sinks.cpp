#include "views/transcript_sinks.hpp"

#include <utility>

namespace Sandbox {

namespace {

// Texts from the plug-in may hold bytes that are not UTF-8; the transcript shows
// them as U+FFFD instead of failing.
class JsonlTranscript final : public EventSink {
 public:
  explicit JsonlTranscript(std::ostream& out) : out_(out) {}
  void Write(const Event& event) override {
    out_ << event.dump(-1, ' ', false, Event::error_handler_t::replace) << '\n' << std::flush;
  }

 private:
  std::ostream& out_;
};

class HumanTranscript final : public EventSink {
 public:
  HumanTranscript(std::ostream& out, const HumanView& view) : out_(out), view_(view) {}
  void Write(const Event& event) override {
    if (const std::string lines = view_.Lines(event); !lines.empty()) {
      out_ << lines << std::flush;
    }
  }

 private:
  std::ostream& out_;
  HumanView view_;
};

}  // namespace

std::unique_ptr<EventSink> MakeJsonlTranscript(std::ostream& out) {
  return std::make_unique<JsonlTranscript>(out);
}

std::unique_ptr<EventSink> MakeHumanTranscript(std::ostream& out, const HumanView& view) {
  return std::make_unique<HumanTranscript>(out, view);
}

EventFanOut::EventFanOut(std::vector<EventSink*> sinks) : sinks_(std::move(sinks)) {}

void EventFanOut::Write(const Event& event) {
  for (EventSink* const sink : sinks_) {
    if (sink != nullptr) {
      sink->Write(event);
    }
  }
}

}  // namespace Sandbox
