#pragma once

#include <string>

#include "host_library/events.hpp"
#include "views/audience.hpp"
#include "views/human_transcript.hpp"

namespace Sandbox {

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

}  // namespace Sandbox
