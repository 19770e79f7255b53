#include "console/console_input.hpp"

#ifdef _WIN32
#include <io.h>
#else
#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>
#endif

#include <asio/post.hpp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace Sandbox {

#ifdef _WIN32

struct ConsoleInput::Reader {
  std::mutex mutex;
  // Null once the console input is gone: nothing more is delivered.
  ConsoleInput* owner = nullptr;
  bool started = false;
};

ConsoleInput::ConsoleInput(asio::io_context& io, LineHandler on_line, EndHandler on_end)
    : io_(io),
      on_line_(std::move(on_line)),
      on_end_(std::move(on_end)),
      interactive_(::_isatty(0) != 0),
      reader_(std::make_shared<Reader>()) {}

ConsoleInput::~ConsoleInput() {
  Stop();
  const std::lock_guard lock(reader_->mutex);
  reader_->owner = nullptr;
}

void ConsoleInput::Start() {
  if (!stopped_) {
    return;
  }
  stopped_ = false;
  const std::lock_guard lock(reader_->mutex);
  reader_->owner = this;
  if (reader_->started) {
    return;
  }
  reader_->started = true;
  // Detached: a read of standard input cannot be called off, and the process ends
  // it when it exits.
  std::thread([reader = reader_] {
    char buffer[4096];
    std::string line;
    bool end = false;
    while (!end) {
      end = std::fgets(buffer, sizeof buffer, stdin) == nullptr;
      if (!end) {
        line += buffer;
        if (line.empty() || line.back() != '\n') {
          continue;
        }
        line.pop_back();
      }
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      const std::lock_guard lock(reader->mutex);
      if (reader->owner == nullptr) {
        return;
      }
      ConsoleInput* const owner = reader->owner;
      // The last line may lack its line feed; it still counts.
      if (!end || !line.empty()) {
        asio::post(owner->io_, [reader, text = line] { DeliverTo(reader, text, false); });
      }
      line.clear();
    }
    const std::lock_guard lock(reader->mutex);
    if (reader->owner != nullptr) {
      asio::post(reader->owner->io_, [reader] { DeliverTo(reader, {}, true); });
    }
  }).detach();
}

// On the io_context's thread, which is also the one that destroys the console input.
void ConsoleInput::DeliverTo(const std::shared_ptr<Reader>& reader, const std::string& line,
                             bool end) {
  ConsoleInput* owner = nullptr;
  {
    const std::lock_guard lock(reader->mutex);
    owner = reader->owner;
  }
  if (owner != nullptr) {
    owner->Deliver(line, end);
  }
}

void ConsoleInput::Deliver(const std::string& line, bool end) {
  if (stopped_) {
    return;
  }
  if (end) {
    End();
  } else {
    on_line_(line);
  }
}

void ConsoleInput::Stop() {
  stopped_ = true;
}

void ConsoleInput::Print(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

#else

namespace {

constexpr const char* kPrompt = "> ";

// Readline calls back through a plain function; this is the instance it reaches.
ConsoleInput* readline_owner = nullptr;

struct FreeWithFree {
  void operator()(char* text) const { std::free(text); }  // NOLINT(*-no-malloc)
};
using ReadlineText = std::unique_ptr<char, FreeWithFree>;

}  // namespace

ConsoleInput::ConsoleInput(asio::io_context& io, LineHandler on_line, EndHandler on_end)
    : io_(io),
      on_line_(std::move(on_line)),
      on_end_(std::move(on_end)),
      interactive_(::isatty(STDIN_FILENO) != 0),
      input_(io) {
  // A duplicate, so that closing the descriptor object leaves standard input open.
  const int descriptor = ::dup(STDIN_FILENO);
  if (descriptor >= 0) {
    input_.assign(descriptor);
  }
}

ConsoleInput::~ConsoleInput() {
  Stop();
}

void ConsoleInput::Start() {
  if (!stopped_ || !input_.is_open()) {
    return;
  }
  stopped_ = false;
  if (interactive_) {
    // The server's own SIGINT and SIGTERM handling must see the signals, not readline.
    rl_catch_signals = 0;
    rl_catch_sigwinch = 0;
    readline_owner = this;
    rl_callback_handler_install(kPrompt, &ConsoleInput::OnReadlineLine);
  }
  WaitReadable();
}

void ConsoleInput::Stop() {
  if (stopped_) {
    return;
  }
  stopped_ = true;
  asio::error_code ignored;
  input_.cancel(ignored);
  if (interactive_ && readline_owner == this) {
    rl_callback_handler_remove();
    readline_owner = nullptr;
    std::fputs("\n", rl_outstream != nullptr ? rl_outstream : stdout);
  }
}

void ConsoleInput::Print(std::FILE* stream, std::string_view text) {
  // While a line is being handled the cursor already sits on a fresh line, and
  // readline shows the prompt again only afterwards.
  if (stopped_ || !interactive_ || handling_line_ || ::isatty(::fileno(stream)) == 0) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
    return;
  }
  const int saved_point = rl_point;
  const ReadlineText saved_line(rl_copy_text(0, rl_end));
  rl_save_prompt();
  rl_replace_line("", 0);
  rl_redisplay();
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
  rl_restore_prompt();
  rl_replace_line(saved_line ? saved_line.get() : "", 0);
  rl_point = saved_point;
  rl_redisplay();
}

void ConsoleInput::OnReadlineLine(char* raw_line) {
  const ReadlineText line(raw_line);
  ConsoleInput* self = readline_owner;
  if (self == nullptr) {
    return;
  }
  if (!line) {
    self->End();
    return;
  }
  if (*line != '\0') {
    add_history(line.get());
  }
  self->handling_line_ = true;
  self->on_line_(line.get());
  self->handling_line_ = false;
}

void ConsoleInput::WaitReadable() {
  if (stopped_) {
    return;
  }
  if (read_without_waiting_) {
    asio::post(io_, [this] { ReadAvailable(); });
    return;
  }
  input_.async_wait(asio::posix::stream_descriptor::wait_read,
                    [this](const asio::error_code& error) {
                      if (error == asio::error::operation_aborted || stopped_) {
                        return;
                      }
                      if (error) {
                        read_without_waiting_ = true;
                      }
                      ReadAvailable();
                    });
}

void ConsoleInput::ReadAvailable() {
  if (stopped_) {
    return;
  }
  if (interactive_) {
    rl_callback_read_char();
  } else {
    ReadPlain();
  }
  WaitReadable();
}

void ConsoleInput::ReadPlain() {
  const ssize_t count = ::read(input_.native_handle(), chunk_.data(), chunk_.size());
  if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
    return;
  }
  if (count <= 0) {
    // The last line may lack its line feed; it still counts.
    if (!pending_.empty()) {
      pending_ += '\n';
      DeliverPlainLines();
    }
    End();
    return;
  }
  pending_.append(chunk_.data(), static_cast<std::size_t>(count));
  DeliverPlainLines();
}

void ConsoleInput::DeliverPlainLines() {
  std::size_t start = 0;
  for (std::size_t end = pending_.find('\n'); end != std::string::npos && !stopped_;
       end = pending_.find('\n', start)) {
    std::string line = pending_.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    start = end + 1;
    on_line_(line);
  }
  pending_.erase(0, start);
}

#endif

void ConsoleInput::End() {
  Stop();
  if (on_end_) {
    on_end_();
  }
}

}  // namespace Sandbox
