#include "preview_page.hpp"

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "console/command_interpreter.hpp"
#include "host_library/commands.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/text.hpp"
#include "views/html_transcript.hpp"
#include "views/transcript_sinks.hpp"
#include "views/world_audience.hpp"

namespace Sandbox {
namespace {

// What an operator reads when the plug-in goes wrong: its log, the exceptions that
// escaped it, and the sandbox's own complaints (a library that does not open).
class TroubleWatch final : public EventSink {
 public:
  void Write(const Event& event) override {
    const std::string name = event.value("event", "");
    if (name == "log") {
      said_.push_back(event.value("line", ""));
    } else if (name == "host_error") {
      faults_.push_back(event.value("where", "") + ": " + event.value("what", ""));
      said_.push_back("host_error: " + faults_.back());
    } else if (name == "sandbox_error") {
      said_.push_back(event.value("text", ""));
    }
  }

  [[nodiscard]] const std::vector<std::string>& Said() const { return said_; }
  [[nodiscard]] const std::vector<std::string>& Faults() const { return faults_; }

 private:
  std::vector<std::string> said_;
  std::vector<std::string> faults_;
};

// The lines a script would hold: the player who sees everything, and the command.
constexpr const char* kPlayerLines[] = {"join P1 Alice", "console P1 bw.preview all"};

bool PreviewCommandRegistered() {
  const std::vector<FString> names = TheCommandRegistry().ConsoleNames();
  return std::ranges::any_of(names,
                             [](const FString& name) { return ToUtf8(name) == "bw.preview"; });
}

void Tell(const std::string& headline, const std::vector<std::string>& lines) {
  std::cerr << "bellwright-sandbox: " << headline << '\n';
  for (const std::string& line : lines) {
    std::cerr << "  " << line << '\n';
  }
}

// False, with the reason on the standard error, when the plug-in did not start: a
// configuration it cannot use stops its start-up before it registers its commands.
bool ShowEveryMessage(CommandInterpreter& interpreter, const TroubleWatch& watch) {
  int line_number = 1;
  interpreter.ExecuteLine("load", line_number++);
  RunPendingFrames();
  if (!PreviewCommandRegistered()) {
    Tell("the plug-in did not start on " + Utf8FromPath(ConfigFilePath()) +
             ", so there is no page; it said:",
         watch.Said());
    return false;
  }
  for (const char* line : kPlayerLines) {
    interpreter.ExecuteLine(line, line_number++);
    RunPendingFrames();
  }
  return true;
}

// 0, or 1 once the reason is on the standard error.
int Verdict(const CommandInterpreter& interpreter, const TroubleWatch& watch) {
  if (!watch.Faults().empty() || interpreter.ErrorCount() > 0) {
    Tell("the plug-in failed while showing the messages:", watch.Said());
    return 1;
  }
  return 0;
}

}  // namespace

int RunPreviewPage(const PreviewPageOptions& options) {
  TheClock().UseVirtual(options.start);
  const WorldAudience audience;
  const HumanView view(options.readable, audience, &ElapsedTimeLabel);
  std::unique_ptr<EventSink> output;
  if (options.output == TranscriptFormat::kHuman) {
    output = MakeHumanTranscript(std::cout, view);
  } else if (options.output == TranscriptFormat::kJsonl) {
    output = MakeJsonlTranscript(std::cout);
  }
  HtmlTranscript page(PathFromUtf8(options.page), HtmlPageOptions{}, options.readable, audience,
                      &ElapsedTimeLabel);
  TroubleWatch watch;
  EventFanOut transcript({output.get(), &page, &watch});
  SetEventSink(&transcript);
  int status = 0;
  {
    CommandInterpreter interpreter(options.plugin_path);
    const bool started = ShowEveryMessage(interpreter, watch);
    interpreter.Finish();
    status = started ? Verdict(interpreter, watch) : 1;
  }
  SetEventSink(nullptr);
  if (status != 0) {
    return status;
  }
  if (const std::string error = page.Flush(); !error.empty()) {
    std::cerr << "bellwright-sandbox: " << error << '\n';
    return 2;
  }
  return 0;
}

}  // namespace Sandbox
