#include "rcon_server.hpp"

#include <algorithm>
#include <array>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <asio/write.hpp>
#include <exception>
#include <utility>

#include "rcon_login_throttle.hpp"
#include "rcon_packet.hpp"

namespace Sandbox {

class RconSession;

struct RconServer::State {
  State(asio::io_context& io, RconServerOptions server_options, RconDispatch server_dispatch,
        RconNotice server_notice)
      : acceptor(io, server_options.endpoint),
        retry_timer(io),
        port(acceptor.local_endpoint().port()),
        options(std::move(server_options)),
        dispatch(std::move(server_dispatch)),
        notice(std::move(server_notice)),
        throttle(options.failed_logins_before_lockout, options.lockout) {}

  void Notify(const std::string& line) const {
    if (!notice) {
      return;
    }
    try {
      notice(line);
    } catch (...) {
      // A failing log line must not take a connection, or the listener, down.
    }
  }

  asio::ip::tcp::acceptor acceptor;
  asio::steady_timer retry_timer;
  std::uint16_t port;
  RconServerOptions options;
  RconDispatch dispatch;
  RconNotice notice;
  RconLoginThrottle throttle;
  std::vector<std::weak_ptr<RconSession>> sessions;
  bool stopped = false;
};

namespace {

constexpr std::size_t kReadChunk = 8192;

std::string Describe(const asio::ip::tcp::endpoint& peer) {
  return peer.address().to_string() + ":" + std::to_string(peer.port());
}

// Compares without stopping at the first difference, so response time says nothing
// about how much of a guess was right.
bool PasswordMatches(const std::string& expected, const std::string& given) {
  unsigned char difference = expected.size() == given.size() ? 0 : 1;
  for (std::size_t index = 0; index < given.size(); ++index) {
    const char wanted = expected.empty() ? '\0' : expected[index % expected.size()];
    difference |= static_cast<unsigned char>(wanted ^ given[index]);
  }
  return difference == 0 && !expected.empty();
}

std::string JoinReplies(const std::vector<std::string>& replies) {
  std::string text;
  for (const std::string& reply : replies) {
    if (!text.empty()) {
      text += '\n';
    }
    text += reply;
  }
  return text;
}

}  // namespace

// One client connection. At most one read or one write is outstanding at a time:
// replies are written before more requests are read, which keeps answers in request
// order and stops a client that never reads from growing the server's buffers.
class RconSession : public std::enable_shared_from_this<RconSession> {
 public:
  RconSession(std::shared_ptr<RconServer::State> state, asio::ip::tcp::socket socket,
              std::string peer)
      : state_(std::move(state)),
        socket_(std::move(socket)),
        idle_timer_(socket_.get_executor()),
        peer_(std::move(peer)) {}

  void Start() {
    ArmIdleTimer();
    Read();
  }

  void Close(const std::string& reason) {
    if (closed_) {
      return;
    }
    closed_ = true;
    state_->Notify("rcon: " + peer_ + " closed (" + reason + ")");
    asio::error_code ignored;
    idle_timer_.cancel();
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
  }

  bool IsOpen() const { return !closed_; }

 private:
  void ArmIdleTimer() {
    idle_timer_.expires_after(state_->options.idle_timeout);
    idle_timer_.async_wait([self = shared_from_this()](const asio::error_code& error) {
      if (!error) {
        self->Close("idle");
      }
    });
  }

  void Read() {
    if (closed_) {
      return;
    }
    socket_.async_read_some(
        asio::buffer(read_chunk_),
        [self = shared_from_this()](const asio::error_code& error, std::size_t length) {
          self->OnRead(error, length);
        });
  }

  void OnRead(const asio::error_code& error, std::size_t length) {
    if (closed_) {
      return;
    }
    if (error) {
      Close(error == asio::error::eof ? "client left" : error.message());
      return;
    }
    inbox_.append(read_chunk_.data(), length);
    ProcessInbox();
    Flush();
  }

  void ProcessInbox() {
    while (!close_after_flush_) {
      const RconDecodeResult decoded = DecodeRconPacket(inbox_);
      if (decoded.status == RconDecodeStatus::kIncomplete) {
        return;
      }
      if (decoded.status != RconDecodeStatus::kPacket) {
        RequestClose(std::string(decoded.problem));
        return;
      }
      inbox_.erase(0, decoded.consumed);
      ArmIdleTimer();
      Handle(decoded.packet);
    }
  }

  void Handle(const RconPacket& packet) {
    if (packet.type == RconPacketType::kAuth) {
      Authenticate(packet);
    } else if (!authenticated_) {
      RequestClose("request before authentication");
    } else if (packet.type == RconPacketType::kExecCommandOrAuthResponse) {
      Execute(packet);
    } else if (packet.body.empty()) {
      // Clients send an empty response value after a command and read until it
      // comes back, to know where a long reply ends.
      Queue({packet.id, RconPacketType::kResponseValue, {}});
    } else {
      RequestClose("response value with a body");
    }
  }

  void Authenticate(const RconPacket& packet) {
    const auto now = RconLoginThrottle::Clock::now();
    const std::string address = socket_address();
    // A locked-out address still gets the protocol's refusal, so that ordinary clients
    // report a failed login instead of a broken connection; no password is checked.
    if (state_->throttle.IsLockedOut(address, now)) {
      Queue({-1, RconPacketType::kExecCommandOrAuthResponse, {}});
      RequestClose("login refused: too many failed logins, try again later");
      return;
    }
    if (PasswordMatches(state_->options.password, packet.body)) {
      authenticated_ = true;
      state_->throttle.RecordSuccess(address);
      state_->Notify("rcon: " + peer_ + " logged in");
      Queue({packet.id, RconPacketType::kExecCommandOrAuthResponse, {}});
      return;
    }
    authenticated_ = false;
    state_->throttle.RecordFailure(address, now);
    Queue({-1, RconPacketType::kExecCommandOrAuthResponse, {}});
    RequestClose("wrong password");
  }

  void Execute(const RconPacket& packet) {
    std::string text;
    if (!packet.body.empty()) {
      try {
        text = JoinReplies(state_->dispatch(packet.id, packet.body));
      } catch (const std::exception& error) {
        state_->Notify("rcon: command failed: " + std::string(error.what()));
      } catch (...) {
        state_->Notify("rcon: command failed");
      }
    }
    for (const RconPacket& reply : SplitRconReply(packet.id, text)) {
      Queue(reply);
    }
  }

  void Queue(const RconPacket& packet) { outbox_ += EncodeRconPacket(packet); }

  void RequestClose(std::string reason) {
    close_after_flush_ = true;
    close_reason_ = std::move(reason);
    inbox_.clear();
  }

  void Flush() {
    if (closed_) {
      return;
    }
    if (outbox_.empty()) {
      if (close_after_flush_) {
        Close(close_reason_);
      } else {
        Read();
      }
      return;
    }
    sending_ = std::move(outbox_);
    outbox_.clear();
    asio::async_write(socket_, asio::buffer(sending_),
                      [self = shared_from_this()](const asio::error_code& error, std::size_t) {
                        if (error) {
                          self->Close(error.message());
                        } else {
                          self->Flush();
                        }
                      });
  }

  std::string socket_address() const { return peer_.substr(0, peer_.rfind(':')); }

  std::shared_ptr<RconServer::State> state_;
  asio::ip::tcp::socket socket_;
  asio::steady_timer idle_timer_;
  std::string peer_;
  std::array<char, kReadChunk> read_chunk_{};
  std::string inbox_;
  std::string outbox_;
  std::string sending_;
  std::string close_reason_;
  bool authenticated_ = false;
  bool close_after_flush_ = false;
  bool closed_ = false;
};

namespace {

std::size_t CountOpenSessions(RconServer::State& state) {
  std::erase_if(state.sessions, [](const std::weak_ptr<RconSession>& weak) {
    const auto session = weak.lock();
    return !session || !session->IsOpen();
  });
  return state.sessions.size();
}

void Admit(const std::shared_ptr<RconServer::State>& state, asio::ip::tcp::socket socket) {
  asio::error_code error;
  const auto remote = socket.remote_endpoint(error);
  if (error) {
    return;  // the client left before it could be looked at
  }
  const std::string peer = Describe(remote);
  if (CountOpenSessions(*state) >= state->options.max_connections) {
    state->Notify("rcon: " + peer + " refused (too many connections)");
    socket.close(error);
    return;
  }
  // Replies go out whole in one write; waiting to coalesce them only adds latency.
  socket.set_option(asio::ip::tcp::no_delay(true), error);
  state->Notify("rcon: " + peer + " connected");
  auto session = std::make_shared<RconSession>(state, std::move(socket), peer);
  state->sessions.push_back(session);
  session->Start();
}

void Accept(const std::shared_ptr<RconServer::State>& state);

// Errors such as running out of descriptors pass in time; the listener waits a little
// instead of spinning on them, and keeps going.
void AcceptLater(const std::shared_ptr<RconServer::State>& state) {
  state->retry_timer.expires_after(std::chrono::milliseconds(100));
  state->retry_timer.async_wait([state](const asio::error_code& error) {
    if (!error && !state->stopped) {
      Accept(state);
    }
  });
}

void Accept(const std::shared_ptr<RconServer::State>& state) {
  state->acceptor.async_accept(
      [state](const asio::error_code& error, asio::ip::tcp::socket socket) {
        if (state->stopped) {
          return;
        }
        if (error) {
          state->Notify("rcon: accept failed: " + error.message());
          AcceptLater(state);
          return;
        }
        Admit(state, std::move(socket));
        Accept(state);
      });
}

}  // namespace

RconServer::RconServer(asio::io_context& io, RconServerOptions options, RconDispatch dispatch,
                       RconNotice notice)
    : state_(
          std::make_shared<State>(io, std::move(options), std::move(dispatch), std::move(notice))) {
  Accept(state_);
}

RconServer::~RconServer() {
  Stop();
}

std::uint16_t RconServer::port() const {
  return state_->port;
}

void RconServer::Stop() {
  if (state_->stopped) {
    return;
  }
  state_->stopped = true;
  asio::error_code ignored;
  state_->acceptor.close(ignored);
  state_->retry_timer.cancel();
  for (const auto& weak : state_->sessions) {
    if (const auto session = weak.lock()) {
      session->Close("server stopping");
    }
  }
  state_->sessions.clear();
}

}  // namespace Sandbox
