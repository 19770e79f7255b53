#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "views/audience.hpp"
#include "host_library/events.hpp"
#include "views/human_transcript.hpp"

namespace Sandbox {

enum class TranscriptFormat { kJsonl, kHuman };

// "jsonl" or "human"; nothing for any other name.
std::optional<TranscriptFormat> ParseTranscriptFormat(std::string_view name);

// What the `--transcript FORM [FILE]` options ask for: the form of the standard
// output (human or jsonl, each without a file) and the file of an HTML page (html
// FILE). `error` says what makes no sense, empty when all is well.
struct TranscriptRequest {
  std::optional<TranscriptFormat> output;
  std::string html_file;
  std::string error;
};
TranscriptRequest ParseTranscriptRequest(const std::vector<std::vector<std::string>>& options);

// The time an event shows in a readable view.
using TimeLabel = std::string (*)(const Event& event);
// "HH:MM:SS" since the start of the run (the event's `t`), for scripts.
std::string ElapsedTimeLabel(const Event& event);
// The local wall-clock time "HH:MM:SS", for the live server.
std::string WallClockLabel(const Event& event);

// What the readable views (human, html) show and how.
struct ReadableOptions {
  HumanStyle style;
  // Leave out what only the host records (log, permission queries, registry ...).
  bool quiet_host = false;
};

// Whether a readable view shows an event of this audience.
bool Shows(const ReadableOptions& options, Audience audience);

// Events as readable lines, naming players as the world knows them at the time.
class HumanView {
 public:
  HumanView(ReadableOptions options, const AudienceContext& context, TimeLabel time_label);
  // The event's lines, each ending in a line feed; empty when the view leaves it out.
  [[nodiscard]] std::string Lines(const Event& event) const;

 private:
  ReadableOptions options_;
  const AudienceContext& context_;
  TimeLabel time_label_;
};

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
