#include "transcript.hpp"

#include <fmt/chrono.h>
#include <fmt/format.h>

#include <chrono>
#include <ctime>

#include "host_library/clock.hpp"

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

std::optional<TranscriptFormat> ParseTranscriptFormat(std::string_view name) {
  if (name == "jsonl") {
    return TranscriptFormat::kJsonl;
  }
  if (name == "human") {
    return TranscriptFormat::kHuman;
  }
  return std::nullopt;
}

TranscriptRequest ParseTranscriptRequest(const std::vector<std::vector<std::string>>& options) {
  TranscriptRequest request;
  for (const std::vector<std::string>& words : options) {
    const std::string form = words.empty() ? std::string() : words[0];
    if (form == "html") {
      if (words.size() != 2 || words[1].empty()) {
        request.error = "html needs the page's file: --transcript html FILE";
      } else if (!request.html_file.empty()) {
        request.error = "only one html page can be written";
      } else {
        request.html_file = words[1];
      }
    } else if (const auto format = ParseTranscriptFormat(form)) {
      if (words.size() != 1) {
        request.error = form + " goes to the standard output and takes no file";
      } else if (request.output && *request.output != *format) {
        request.error = "the standard output takes one form: human or jsonl";
      } else {
        request.output = format;
      }
    } else {
      request.error = "unknown form \"" + form + "\"; the forms are human, jsonl and html FILE";
    }
    if (!request.error.empty()) {
      return request;
    }
  }
  return request;
}

std::string ElapsedTimeLabel(const Event& event) {
  const auto seconds = event.value("t", std::int64_t{0});
  return fmt::format("{:02}:{:02}:{:02}", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::string WallClockLabel(const Event& /*event*/) {
  const std::time_t now = std::chrono::system_clock::to_time_t(TheClock().Now());
  std::tm local{};
  ::localtime_r(&now, &local);
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
