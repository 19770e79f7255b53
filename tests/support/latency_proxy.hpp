#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace Bellwright::Testing {

// A TCP relay on a local port that holds every piece of data it passes on for a while
// in each direction, as a network does: a server behind it answers a round trip later by
// twice the delay. The connection itself is taken at once (the handshake is local). It
// counts the client's turns: each time the client speaks after the server has, which is
// one round trip the client waits for.
class LatencyProxy {
 public:
  LatencyProxy(const std::string& server_address, unsigned short server_port,
               std::chrono::milliseconds one_way, const std::string& listen_address = "127.0.0.1");
  ~LatencyProxy();
  LatencyProxy(const LatencyProxy&) = delete;
  LatencyProxy& operator=(const LatencyProxy&) = delete;

  // The port clients connect to.
  unsigned short Port() const;
  // The client's turns so far, over every connection.
  int ClientTurns() const { return client_turns_->load(); }

 private:
  struct Relay;
  std::unique_ptr<Relay> relay_;
  std::shared_ptr<std::atomic<int>> client_turns_;
  std::thread thread_;
};

}  // namespace Bellwright::Testing
