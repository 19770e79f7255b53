#include "rcon/rcon_server.hpp"

#include <algorithm>
#include <array>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <asio/write.hpp>
#include <exception>
#include <map>
#include <utility>

#include "rcon/rcon_login_throttle.hpp"
#include "rcon/rcon_packet.hpp"

namespace Sandbox {

class RconSession;

enum class LoginState { kPending, kLoggedIn };

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

  // Open connections in that state, oldest first; closed ones are forgotten.
  std::vector<std::shared_ptr<RconSession>> OpenSessions(LoginState wanted);

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
        login_timer_(socket_.get_executor()),
        idle_timer_(socket_.get_executor()),
        peer_(std::move(peer)),
        address_(peer_.substr(0, peer_.rfind(':'))) {}

  void Start() {
    ArmLoginTimer();
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
    login_timer_.cancel();
    idle_timer_.cancel();
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
  }

  bool IsOpen() const { return !closed_; }
  LoginState login_state() const {
    return authenticated_ ? LoginState::kLoggedIn : LoginState::kPending;
  }
  const std::string& address() const { return address_; }

 private:
  // Unlike the idle timer, this one is not put back by traffic: a client that drips
  // bytes without ever finishing a login still loses its place.
  void ArmLoginTimer() {
    login_timer_.expires_after(state_->options.login_timeout);
    login_timer_.async_wait([self = shared_from_this()](const asio::error_code& error) {
      if (!error && !self->authenticated_) {
        self->Close("no login in time");
      }
    });
  }

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
    // A locked-out address is refused without its password being looked at. Every
    // refusal is answered the protocol's way, so that ordinary clients report a failed
    // login instead of a broken connection.
    if (state_->throttle.IsLockedOut(address_, now)) {
      Refuse("login refused: too many failed logins, try again later");
      return;
    }
    if (!PasswordMatches(state_->options.password, packet.body)) {
      authenticated_ = false;
      state_->throttle.RecordFailure(address_, now);
      Refuse("wrong password");
      return;
    }
    // Several connections admitted while sessions were free may log in at once.
    if (!authenticated_ &&
        state_->OpenSessions(LoginState::kLoggedIn).size() >= state_->options.max_connections) {
      Refuse("login refused: too many connections");
      return;
    }
    authenticated_ = true;
    login_timer_.cancel();
    state_->throttle.RecordSuccess(address_);
    state_->Notify("rcon: " + peer_ + " logged in");
    Queue({packet.id, RconPacketType::kExecCommandOrAuthResponse, {}});
  }

  void Refuse(std::string reason) {
    Queue({-1, RconPacketType::kExecCommandOrAuthResponse, {}});
    RequestClose(std::move(reason));
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

  std::shared_ptr<RconServer::State> state_;
  asio::ip::tcp::socket socket_;
  asio::steady_timer login_timer_;
  asio::steady_timer idle_timer_;
  std::string peer_;
  std::string address_;
  std::array<char, kReadChunk> read_chunk_{};
  std::string inbox_;
  std::string outbox_;
  std::string sending_;
  std::string close_reason_;
  bool authenticated_ = false;
  bool close_after_flush_ = false;
  bool closed_ = false;
};

std::vector<std::shared_ptr<RconSession>> RconServer::State::OpenSessions(LoginState wanted) {
  std::vector<std::shared_ptr<RconSession>> open;
  std::erase_if(sessions, [&](const std::weak_ptr<RconSession>& weak) {
    auto session = weak.lock();
    if (!session || !session->IsOpen()) {
      return true;
    }
    if (session->login_state() == wanted) {
      open.push_back(std::move(session));
    }
    return false;
  });
  return open;
}

namespace {

// The oldest waiting connection from the address with the most of them, so that a
// flood from one address pushes out its own connections before anyone else's.
std::size_t IndexToPushOut(const std::vector<std::shared_ptr<RconSession>>& pending) {
  std::map<std::string, std::size_t> per_address;
  for (const auto& session : pending) {
    ++per_address[session->address()];
  }
  std::size_t chosen = 0;
  for (std::size_t index = 1; index < pending.size(); ++index) {
    if (per_address[pending[index]->address()] > per_address[pending[chosen]->address()]) {
      chosen = index;
    }
  }
  return chosen;
}

// Returns false, having said why, when the connection cannot be admitted.
bool MakeRoom(RconServer::State& state, const std::string& peer) {
  if (state.OpenSessions(LoginState::kLoggedIn).size() >= state.options.max_connections) {
    state.Notify("rcon: " + peer + " refused (too many connections)");
    return false;
  }
  auto pending = state.OpenSessions(LoginState::kPending);
  const std::size_t room = std::max<std::size_t>(1, state.options.max_pending_logins);
  while (pending.size() >= room) {
    const std::size_t index = IndexToPushOut(pending);
    pending[index]->Close("pushed out by a newer connection before logging in");
    pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(index));
  }
  return true;
}

void Admit(const std::shared_ptr<RconServer::State>& state, asio::ip::tcp::socket socket) {
  asio::error_code error;
  const auto remote = socket.remote_endpoint(error);
  if (error) {
    return;  // the client left before it could be looked at
  }
  const std::string peer = Describe(remote);
  if (!MakeRoom(*state, peer)) {
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
