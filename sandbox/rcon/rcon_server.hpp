#pragma once

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Sandbox {

struct RconServerOptions {
  asio::ip::tcp::endpoint endpoint{asio::ip::address_v4::loopback(), 0};
  std::string password;
  // Logged-in sessions at once. While they are all taken, new connections are refused.
  std::size_t max_connections = 8;
  // Connections that have not logged in yet are held apart from the sessions, so that
  // clients which never log in cannot take a session's place. When this many are
  // waiting, a newcomer takes the place of the oldest one from the address that holds
  // the most: a flood from one address pushes out its own connections first.
  std::size_t max_pending_logins = 32;
  // A connection that has not logged in this long after it opened is closed, however
  // busy it keeps itself.
  std::chrono::milliseconds login_timeout = std::chrono::seconds(5);
  // A connection that completes no request for this long is closed.
  std::chrono::milliseconds idle_timeout = std::chrono::minutes(5);
  int failed_logins_before_lockout = 3;
  std::chrono::milliseconds lockout = std::chrono::minutes(1);
};

// Runs one command a client sent as request `request_id` and returns the replies it
// produced, in order.
using RconDispatch =
    std::function<std::vector<std::string>(std::int32_t request_id, const std::string& command)>;
// Receives one line about a connection (opened, refused, closed and why).
using RconNotice = std::function<void(const std::string& line)>;

// A Source RCON listener. Everything it does runs on the io_context it is given, so
// the dispatch callback never runs concurrently with anything else on that context.
class RconServer {
 public:
  // Binds and listens at once; throws asio::system_error when the address is unusable.
  RconServer(asio::io_context& io, RconServerOptions options, RconDispatch dispatch,
             RconNotice notice = {});
  RconServer(const RconServer&) = delete;
  RconServer& operator=(const RconServer&) = delete;
  // Must run on the io_context's thread, or while the io_context is not running.
  ~RconServer();

  std::uint16_t port() const;
  // Stops accepting and closes every connection; same thread rule as the destructor.
  void Stop();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace Sandbox
