#pragma once

#include <string>

#include "host_library/clock.hpp"
#include "transcript_request.hpp"
#include "views/readable_view.hpp"

namespace Sandbox {

struct ScriptOptions {
  // A file, or "-" for standard input.
  std::string script;
  std::string plugin_path;
  // The standard output's form (jsonl unless asked otherwise) and the HTML page.
  TranscriptRequest transcript;
  ReadableOptions readable;
  // Where the virtual clock starts.
  Clock::TimePoint start{std::chrono::seconds(Clock::kScriptEpochSeconds)};
};

// A script run on the virtual clock: every line through the interpreter, then the end
// of input (an implicit unload). Returns the exit status: 0, 1 when any
// sandbox_error was written, 2 when the script or the page cannot be opened.
int RunScriptMode(const ScriptOptions& options);

}  // namespace Sandbox
