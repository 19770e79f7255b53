// RCON commands answered per second over loopback: one client waiting for each reply
// before sending the next, alone and with eight such clients at once.

#include <benchmark/benchmark.h>

#include <asio/io_context.hpp>
#include <memory>
#include <thread>

#include "rcon/rcon_login_throttle.hpp"
#include "rcon/rcon_server.hpp"
#include "rcon_test_client.hpp"

namespace {

using Sandbox::RconPacketType;

// One listener for the whole run, on its own thread as the game thread would be.
class EchoServer {
 public:
  EchoServer() {
    Sandbox::RconServerOptions options;
    options.password = "bench";
    options.max_connections = 64;
    server_ = std::make_unique<Sandbox::RconServer>(
        io_, options, [](std::int32_t /*request_id*/, const std::string& command) {
          return std::vector<std::string>{command.substr(command.find(' ') + 1)};
        });
    thread_ = std::thread([this] { io_.run(); });
  }
  EchoServer(const EchoServer&) = delete;
  EchoServer& operator=(const EchoServer&) = delete;
  ~EchoServer() {
    io_.stop();
    thread_.join();
  }

  std::uint16_t port() const { return server_->port(); }

 private:
  asio::io_context io_;
  std::unique_ptr<Sandbox::RconServer> server_;
  std::thread thread_;
};

EchoServer& Server() {
  static EchoServer server;
  return server;
}

void BM_RconCommandRoundTrip(benchmark::State& state) {
  Sandbox::Testing::RconTestClient client(Server().port());
  if (!client.Login("bench")) {
    state.SkipWithError("login refused");
    return;
  }
  std::int32_t id = 1;
  for (auto _ : state) {
    const auto reply = client.Run(++id, "echo players online: 0");
    if (!reply || reply->id != id || reply->type != RconPacketType::kResponseValue) {
      state.SkipWithError("wrong reply");
      break;
    }
    benchmark::DoNotOptimize(reply->body.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RconCommandRoundTrip)->UseRealTime();
BENCHMARK(BM_RconCommandRoundTrip)->Threads(8)->UseRealTime();

// A failed login while the throttle remembers this many addresses, all still within
// their lockout: as cheap at 100,000 as at 10 (limit 1.5 times).
void BM_RconFailedLoginAmongRememberedAddresses(benchmark::State& state) {
  using namespace std::chrono_literals;
  Sandbox::RconLoginThrottle throttle(3, 1h);
  const auto start = Sandbox::RconLoginThrottle::Clock::now();
  for (std::int64_t address = 0; address < state.range(0); ++address) {
    throttle.RecordFailure("10.1." + std::to_string(address), start);
  }
  auto now = start;
  for (auto _ : state) {
    now += 1ns;
    throttle.RecordFailure("10.2.0.1", now);
  }
}
BENCHMARK(BM_RconFailedLoginAmongRememberedAddresses)->Arg(10)->Arg(100'000);

}  // namespace
