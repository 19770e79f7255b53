#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

#include "host_library/events.hpp"

namespace Sandbox {

enum class TranscriptFormat { kJsonl, kHuman };

// "jsonl" or "human"; nothing for any other name.
std::optional<TranscriptFormat> ParseTranscriptFormat(std::string_view name);

// A transcript writing each event to `out` as it happens.
std::unique_ptr<EventSink> MakeTranscript(TranscriptFormat format, std::ostream& out);

// One event as a readable line (time, recipient, kind, text), without line end.
std::string HumanLine(const Event& event);

}  // namespace Sandbox
