#include "live_mode.hpp"

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>

#include "console/command_interpreter.hpp"
#include "console/console_input.hpp"
#include "console/help_text.hpp"
#include "console/live_transcript.hpp"
#include "host_library/clock.hpp"
#include "host_library/commands.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/rcon_connection.hpp"
#include "host_library/text.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "rcon/rcon_server.hpp"
#include "views/html_transcript.hpp"
#include "views/transcript_sinks.hpp"
#include "views/world_audience.hpp"

namespace Sandbox {
namespace {

constexpr auto kFrame = std::chrono::duration_cast<asio::steady_timer::duration>(
    std::chrono::duration<double>(1.0 / kFramesPerSecond));

// A page the administrator keeps open: the browser reloads it every few seconds, and
// a long-running server keeps only its most recent moments.
constexpr HtmlPageOptions kLivePage{2, 1000};

std::vector<std::string> Utf8Names(const std::vector<FString>& names) {
  std::vector<std::string> converted;
  converted.reserve(names.size());
  for (const FString& name : names) {
    converted.push_back(ToUtf8(name));
  }
  return converted;
}

RegisteredCommands CurrentRegistrations() {
  const CommandRegistry& registry = TheCommandRegistry();
  return {Utf8Names(registry.ConsoleNames()), Utf8Names(registry.RconNames()),
          Utf8Names(registry.ChatNames())};
}

std::string_view Trimmed(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) {
    return {};
  }
  const std::size_t end = line.find_last_not_of(" \t\r");
  return line.substr(start, end - start + 1);
}

std::string_view FirstWord(std::string_view line) {
  return line.substr(0, line.find(' '));
}

// An RCON client on TCP as the host sees it: the reply goes into the transcript like
// the script's `rcon` command, and back to the client.
class TcpRconConnection final : public RconConnection {
 public:
  void Reply(int request_id, int type, const FString& text) override {
    RconConnection::Reply(request_id, type, text);
    replies_.push_back(ToUtf8(text));
  }

  std::vector<std::string> TakeReplies() { return std::move(replies_); }

 private:
  std::vector<std::string> replies_;
};

class LiveServer {
 public:
  explicit LiveServer(const LiveOptions& options)
      : options_(options),
        console_(
            io_, [this](const std::string& line) { OnLine(line); }, [this] { Shutdown(); }),
        transcript_(options.transcript, console_,
                    HumanView(options.readable, audience_, &WallClockLabel)),
        interpreter_(options.plugin_path),
        signals_(io_, SIGINT, SIGTERM),
        frame_timer_(io_) {}

  int Run() {
    TheClock().UseSystem();
    if (!StartPage()) {
      return 1;
    }
    EventFanOut transcripts({&transcript_, page_ ? &*page_ : nullptr});
    SetEventSink(&transcripts);
    if (!StartRcon()) {
      SetEventSink(nullptr);
      return 1;
    }
    signals_.async_wait([this](const asio::error_code& error, int) {
      if (!error) {
        Shutdown();
      }
    });
    Notice(console_.interactive() ? "Type help for the commands, Ctrl-D or quit to stop."
                                  : "Reading commands from standard input.");
    Guarded("load", [this] { interpreter_.ExecuteLine("load", 0); });
    next_frame_ = asio::steady_timer::clock_type::now();
    ScheduleFrame();
    console_.Start();
    io_.run();
    SetEventSink(nullptr);
    FlushPage();
    return 0;
  }

 private:
  bool StartPage() {
    if (options_.html_file.empty()) {
      return true;
    }
    page_.emplace(PathFromUtf8(options_.html_file), kLivePage, options_.readable, audience_,
                  &WallClockLabel);
    if (const std::string error = page_->Flush(); !error.empty()) {
      Notice(error);
      return false;
    }
    Notice("Writing what players see to " + page_->path().string() +
           "; open it in a browser, it reloads itself.");
    return true;
  }

  // Once a second at most: a burst of messages rewrites the page once.
  void FlushPage() {
    if (!page_) {
      return;
    }
    const std::string error = page_->Flush();
    if (!error.empty() && !page_failing_) {
      Notice("the page is not up to date: " + error);
    }
    page_failing_ = !error.empty();
  }

  bool StartRcon() {
    if (options_.rcon_port == 0 && options_.rcon_password.empty()) {
      return true;
    }
    if (options_.rcon_port == 0 || options_.rcon_password.empty()) {
      Notice("RCON is off: it needs both --rcon-port and --rcon-password.");
      return true;
    }
    try {
      RconServerOptions rcon;
      rcon.endpoint = {asio::ip::make_address(options_.rcon_bind), options_.rcon_port};
      rcon.password = options_.rcon_password;
      rcon_.emplace(
          io_, rcon,
          [this](std::int32_t request_id, const std::string& command) {
            return RunRconCommand(request_id, command);
          },
          [this](const std::string& line) { Notice(line); });
    } catch (const std::exception& error) {
      Notice("cannot listen for RCON on " + options_.rcon_bind + ":" +
             std::to_string(options_.rcon_port) + ": " + error.what());
      return false;
    }
    const std::string address = options_.rcon_bind + ":" + std::to_string(rcon_->port());
    Notice("RCON listening on " + address + ", password: " + options_.rcon_password);
    Notice("Try: rconclt '" + options_.rcon_password + "@" + address +
           "' 'bw.sendserver 0 \"Hello everyone\"'");
    return true;
  }

  std::vector<std::string> RunRconCommand(std::int32_t request_id, const std::string& command) {
    TcpRconConnection connection;
    Guarded("rcon", [&] { connection.Execute(request_id, FromUtf8(command)); });
    return connection.TakeReplies();
  }

  void OnLine(const std::string& raw_line) {
    ++line_number_;
    // Inside a `config <<WORD` block every line is configuration text, help included.
    if (!interpreter_.InConfigBlock()) {
      const std::string_view line = Trimmed(raw_line);
      if (line == "help") {
        console_.Print(stdout, HelpText(CurrentRegistrations()));
        return;
      }
      if (line == "quit" || line == "exit") {
        Shutdown();
        return;
      }
      if (FirstWord(line) == "wait") {
        Notice(
            "wait is for scripts; here the clock is real and the game-state timer runs "
            "every second.");
        return;
      }
    }
    Guarded("console line", [&] { interpreter_.ExecuteLine(raw_line, line_number_); });
  }

  // The game thread runs a frame 30 times a second: the delayed tasks that are due, and
  // at every thirtieth frame the game-state timer after them, the same order as a
  // script's `wait` step.
  void ScheduleFrame() {
    next_frame_ += kFrame;
    // After a stall the game does not catch up with a burst of frames.
    const auto now = asio::steady_timer::clock_type::now();
    if (next_frame_ < now) {
      next_frame_ = now;
    }
    frame_timer_.expires_at(next_frame_);
    frame_timer_.async_wait([this](const asio::error_code& error) {
      if (error || stopping_) {
        return;
      }
      frames_this_second_ = (frames_this_second_ + 1) % kFramesPerSecond;
      const bool timer_frame = frames_this_second_ == 0;
      Guarded("game frame", [timer_frame] {
        TheDelayedTasks().RunFrame();
        if (timer_frame) {
          TheWorld().RunGameStateTimer();
        }
      });
      if (timer_frame) {
        FlushPage();
      }
      ScheduleFrame();
    });
  }

  void Shutdown() {
    if (stopping_) {
      return;
    }
    stopping_ = true;
    console_.Stop();
    if (rcon_) {
      rcon_->Stop();
    }
    frame_timer_.cancel();
    asio::error_code ignored;
    signals_.cancel(ignored);
    Guarded("unload", [this] { interpreter_.Finish(); });
    io_.stop();
  }

  void Notice(const std::string& line) { console_.Print(stderr, line + '\n'); }

  // A fault of the sandbox itself must not take the server down with the plug-in.
  template <typename Body>
  void Guarded(const char* what, Body&& body) {
    try {
      body();
    } catch (const std::exception& error) {
      Notice(std::string("sandbox: ") + what + " failed: " + error.what());
    } catch (...) {
      Notice(std::string("sandbox: ") + what + " failed");
    }
  }

  const LiveOptions& options_;
  asio::io_context io_;
  ConsoleInput console_;
  WorldAudience audience_;
  LiveTranscript transcript_;
  std::optional<HtmlTranscript> page_;
  bool page_failing_ = false;
  CommandInterpreter interpreter_;
  asio::signal_set signals_;
  asio::steady_timer frame_timer_;
  asio::steady_timer::time_point next_frame_;
  int frames_this_second_ = 0;
  std::optional<RconServer> rcon_;
  int line_number_ = 0;
  bool stopping_ = false;
};

}  // namespace

int RunLive(const LiveOptions& options) {
#ifdef SIGPIPE
  // A reader that goes away must not kill the server mid-write; writes just fail.
  // (Windows has no such signal.)
  std::signal(SIGPIPE, SIG_IGN);
#endif
  LiveServer server(options);
  return server.Run();
}

}  // namespace Sandbox
