#pragma once

#include <array>
#include <asio/io_context.hpp>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#ifndef _WIN32
#include <asio/posix/stream_descriptor.hpp>
#endif

namespace Sandbox {

// Lines typed on standard input, delivered on the io_context's thread. On a terminal
// they come through GNU readline (line editing, history); otherwise as plain lines,
// from a pipe or a file alike. Readline is one per process, and so is this. On Windows
// lines are plain everywhere (the console edits them itself), read by a thread of
// their own since Windows cannot wait for standard input alongside sockets.
class ConsoleInput {
 public:
  using LineHandler = std::function<void(const std::string& line)>;
  using EndHandler = std::function<void()>;

  ConsoleInput(asio::io_context& io, LineHandler on_line, EndHandler on_end);
  ConsoleInput(const ConsoleInput&) = delete;
  ConsoleInput& operator=(const ConsoleInput&) = delete;
  // Gives the terminal back the way it was found.
  ~ConsoleInput();

  void Start();
  void Stop();
  // Writes to `stream` (standard output or error) without tearing up the line being
  // typed at the prompt.
  void Print(std::FILE* stream, std::string_view text);
  [[nodiscard]] bool interactive() const { return interactive_; }

 private:
  void End();

  asio::io_context& io_;
  LineHandler on_line_;
  EndHandler on_end_;
  bool interactive_;
  bool stopped_ = true;

#ifdef _WIN32
  struct Reader;
  static void DeliverTo(const std::shared_ptr<Reader>& reader, const std::string& line, bool end);
  void Deliver(const std::string& line, bool end);
  // Shared with the reading thread, which outlives this object while it waits for a
  // line that never comes.
  std::shared_ptr<Reader> reader_;
#else
  static void OnReadlineLine(char* line);
  void WaitReadable();
  void ReadAvailable();
  void ReadPlain();
  void DeliverPlainLines();

  asio::posix::stream_descriptor input_;
  bool handling_line_ = false;
  // Files cannot be waited on; they never block, so they are read straight away.
  bool read_without_waiting_ = false;
  std::string pending_;
  std::array<char, 4096> chunk_{};
#endif
};

}  // namespace Sandbox
