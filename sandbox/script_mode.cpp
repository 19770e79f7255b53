#include "script_mode.hpp"

#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "console/command_interpreter.hpp"
#include "host_library/clock.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/text.hpp"
#include "views/html_transcript.hpp"
#include "views/transcript_sinks.hpp"
#include "views/world_audience.hpp"

namespace Sandbox {
namespace {

int RunScript(std::istream& script, CommandInterpreter& interpreter) {
  std::string line;
  for (int line_number = 1; std::getline(script, line); ++line_number) {
    interpreter.ExecuteLine(line, line_number);
    // The game's frames go on between two lines; the clock stands still.
    RunPendingFrames();
  }
  interpreter.Finish();
  return interpreter.ErrorCount() > 0 ? 1 : 0;
}

// False, with the reason on the standard error, when the page cannot be written.
bool FlushPage(std::optional<HtmlTranscript>& page) {
  if (!page) {
    return true;
  }
  if (const std::string error = page->Flush(); !error.empty()) {
    std::cerr << "bellwright-sandbox: " << error << '\n';
    return false;
  }
  return true;
}

}  // namespace

int RunScriptMode(const ScriptOptions& options) {
  std::ifstream file;
  if (options.script != "-") {
    file.open(PathFromUtf8(options.script), std::ios::binary);
    if (!file) {
      std::cerr << "bellwright-sandbox: cannot open the script " << options.script << '\n';
      return 2;
    }
  }
  std::istream& script = options.script == "-" ? std::cin : file;
  TheClock().UseVirtual(options.start);
  const WorldAudience audience;
  const HumanView view(options.readable, audience, &ElapsedTimeLabel);
  const auto output =
      options.transcript.output.value_or(TranscriptFormat::kJsonl) == TranscriptFormat::kHuman
          ? MakeHumanTranscript(std::cout, view)
          : MakeJsonlTranscript(std::cout);
  std::optional<HtmlTranscript> page;
  if (!options.transcript.html_file.empty()) {
    page.emplace(PathFromUtf8(options.transcript.html_file), HtmlPageOptions{}, options.readable,
                 audience, &ElapsedTimeLabel);
    // Written at once, so a page that cannot be written stops the run before it starts.
    if (!FlushPage(page)) {
      return 2;
    }
  }
  EventFanOut transcript({output.get(), page ? &*page : nullptr});
  SetEventSink(&transcript);
  int status = 0;
  {
    CommandInterpreter interpreter(options.plugin_path);
    status = RunScript(script, interpreter);
  }
  SetEventSink(nullptr);
  return FlushPage(page) ? status : 2;
}

}  // namespace Sandbox
