#include "transcript.hpp"

#include <fmt/format.h>

#include "human_transcript.hpp"

namespace Sandbox {

namespace {

// Texts from the plug-in may hold bytes that are not UTF-8; the transcript shows
// them as U+FFFD instead of failing.
std::string Dump(const Event& value) {
  return value.dump(-1, ' ', false, Event::error_handler_t::replace);
}

// Writes each event as one line, in the form `to_line` gives it.
class LineTranscript final : public EventSink {
 public:
  using ToLine = std::string (*)(const Event&);
  LineTranscript(std::ostream& out, ToLine to_line) : out_(out), to_line_(to_line) {}
  void Write(const Event& event) override { out_ << to_line_(event) << '\n' << std::flush; }

 private:
  std::ostream& out_;
  ToLine to_line_;
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

std::unique_ptr<EventSink> MakeTranscript(TranscriptFormat format, std::ostream& out) {
  return std::make_unique<LineTranscript>(out,
                                          format == TranscriptFormat::kHuman ? &HumanLine : &Dump);
}

std::string HumanLine(const Event& event) {
  const auto seconds = event.value("t", std::int64_t{0});
  std::string line = FormatHumanEvent(
      event, fmt::format("{:02}:{:02}:{:02}", seconds / 3600, seconds / 60 % 60, seconds % 60),
      false);
  line.pop_back();  // the line feed
  return line;
}

}  // namespace Sandbox
