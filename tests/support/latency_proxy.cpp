#include "latency_proxy.hpp"

#include <asio/connect.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>
#include <asio/write.hpp>
#include <deque>
#include <vector>

namespace Bellwright::Testing {
namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// One connection through the proxy: the client's socket, the server's, and in each
// direction the data read but not yet passed on, each piece with the moment it is due.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  struct Turns {
    std::shared_ptr<std::atomic<int>> count;
    bool server_spoke_last = true;  // the server speaks first in many protocols
  };

  Connection(tcp::socket client, asio::io_context& io, std::chrono::milliseconds one_way,
             std::shared_ptr<std::atomic<int>> turns)
      : client_(std::move(client)),
        server_(io),
        one_way_(one_way),
        turns_{std::move(turns)},
        upward_(io),
        downward_(io) {}

  void Start(const tcp::endpoint& server) {
    auto self = shared_from_this();
    server_.async_connect(server, [self](const asio::error_code& error) {
      if (error) {
        self->CloseBoth();
        return;
      }
      self->Read(self->client_, self->upward_, self->server_, true);
      self->Read(self->server_, self->downward_, self->client_, false);
    });
  }

 private:
  struct Piece {
    Clock::time_point due;
    std::vector<char> bytes;  // empty: the sender has finished
  };
  struct Direction {
    explicit Direction(asio::io_context& io) : timer(io) {}
    std::deque<Piece> waiting;
    asio::steady_timer timer;
    bool passing_on = false;
    std::vector<char> buffer = std::vector<char>(16384);
  };

  void Read(tcp::socket& from, Direction& direction, tcp::socket& to, bool from_client) {
    auto self = shared_from_this();
    from.async_read_some(
        asio::buffer(direction.buffer), [self, &from, &direction, &to, from_client](
                                            const asio::error_code& error, std::size_t read) {
          if (from_client && read > 0 && self->turns_.server_spoke_last) {
            ++*self->turns_.count;
          }
          if (read > 0) self->turns_.server_spoke_last = !from_client;
          Piece piece{Clock::now() + self->one_way_, {}};
          if (!error) piece.bytes.assign(direction.buffer.data(), direction.buffer.data() + read);
          direction.waiting.push_back(std::move(piece));
          self->PassOn(direction, to);
          if (!error) self->Read(from, direction, to, from_client);
        });
  }

  // Writes the oldest waiting piece once it is due, one at a time so the order holds.
  void PassOn(Direction& direction, tcp::socket& to) {
    if (direction.passing_on || direction.waiting.empty()) return;
    direction.passing_on = true;
    auto self = shared_from_this();
    direction.timer.expires_at(direction.waiting.front().due);
    direction.timer.async_wait([self, &direction, &to](const asio::error_code&) {
      Piece& piece = direction.waiting.front();
      if (piece.bytes.empty()) {
        asio::error_code ignored;
        to.shutdown(tcp::socket::shutdown_send, ignored);
        direction.waiting.clear();
        direction.passing_on = false;
        return;
      }
      asio::async_write(to, asio::buffer(piece.bytes),
                        [self, &direction, &to](const asio::error_code& error, std::size_t) {
                          direction.waiting.pop_front();
                          direction.passing_on = false;
                          if (error) {
                            self->CloseBoth();
                            return;
                          }
                          self->PassOn(direction, to);
                        });
    });
  }

  void CloseBoth() {
    asio::error_code ignored;
    client_.close(ignored);
    server_.close(ignored);
  }

  tcp::socket client_;
  tcp::socket server_;
  std::chrono::milliseconds one_way_;
  Turns turns_;
  Direction upward_;    // from the client to the server
  Direction downward_;  // from the server to the client
};

}  // namespace

struct LatencyProxy::Relay {
  explicit Relay(const std::string& listen_address)
      : acceptor(io, tcp::endpoint(asio::ip::make_address(listen_address), 0)) {}

  asio::io_context io;
  tcp::acceptor acceptor;
  tcp::endpoint server;
  std::chrono::milliseconds one_way{};
  std::shared_ptr<std::atomic<int>> turns;

  void Accept() {
    acceptor.async_accept([this](const asio::error_code& error, tcp::socket client) {
      if (error) return;
      std::make_shared<Connection>(std::move(client), io, one_way, turns)->Start(server);
      Accept();
    });
  }
};

LatencyProxy::LatencyProxy(const std::string& server_address, unsigned short server_port,
                           std::chrono::milliseconds one_way, const std::string& listen_address)
    : relay_(std::make_unique<Relay>(listen_address)),
      client_turns_(std::make_shared<std::atomic<int>>(0)) {
  relay_->server = tcp::endpoint(asio::ip::make_address(server_address), server_port);
  relay_->one_way = one_way;
  relay_->turns = client_turns_;
  relay_->Accept();
  thread_ = std::thread([this] { relay_->io.run(); });
}

LatencyProxy::~LatencyProxy() {
  relay_->io.stop();
  thread_.join();
}

unsigned short LatencyProxy::Port() const {
  return relay_->acceptor.local_endpoint().port();
}

}  // namespace Bellwright::Testing
