#include "rcon/rcon_server.hpp"

#include <gtest/gtest.h>

#include <asio/post.hpp>
#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "rcon_test_client.hpp"

namespace Sandbox {
namespace {

using namespace std::chrono_literals;
using Testing::RconTestClient;

constexpr auto kExec = RconPacketType::kExecCommandOrAuthResponse;

// Commands of the fake game: "echo TEXT", "long N" (N letters), "two" (two replies),
// "throw", "id" (the request id); anything else produces no reply, like an unknown command.
std::vector<std::string> FakeGame(std::int32_t request_id, const std::string& command) {
  if (command == "id") return {std::to_string(request_id)};
  if (command.starts_with("echo ")) return {command.substr(5)};
  if (command.starts_with("long ")) return {std::string(std::stoul(command.substr(5)), 'L')};
  if (command == "two") return {"first", "second"};
  if (command == "throw") throw std::runtime_error("boom");
  return {};
}

std::string WithoutTerminator(std::string packet) {
  packet.replace(packet.size() - 2, 2, "!!");
  return packet;
}

// Clients that connect, never log in, and connect again as soon as the server closes
// them: the attack that once kept every administrator out.
class IdleFlood {
 public:
  IdleFlood(std::uint16_t port, int connections, const std::string& source_address) {
    for (int index = 0; index < connections; ++index) {
      attackers_.emplace_back([this, port, source_address] { Attack(port, source_address); });
    }
  }
  IdleFlood(const IdleFlood&) = delete;
  IdleFlood& operator=(const IdleFlood&) = delete;
  ~IdleFlood() {
    stop_ = true;
    for (std::thread& attacker : attackers_) attacker.join();
  }

  // Connections the server accepted and later closed, plus those open now.
  int connections_made() const { return connections_made_; }

 private:
  void Attack(std::uint16_t port, const std::string& source_address) {
    while (!stop_) {
      try {
        RconTestClient client(port, 20ms, source_address);
        ++connections_made_;
        // WaitClosed gives up at each receive timeout, so the stop flag is seen.
        while (!stop_ && !client.WaitClosed()) {
        }
      } catch (const std::runtime_error&) {
        std::this_thread::sleep_for(1ms);
      }
    }
  }

  std::atomic<bool> stop_{false};
  std::atomic<int> connections_made_{0};
  std::vector<std::thread> attackers_;
};

class RconServerTest : public ::testing::Test {
 protected:
  void StartServer(RconServerOptions options = {}) {
    options.password = "letmein";
    server_ = std::make_unique<RconServer>(
        io_, options, [this](std::int32_t request_id, const std::string& command) {
          const std::lock_guard lock(mutex_);
          commands_.push_back(command);
          return FakeGame(request_id, command);
        });
    io_thread_ = std::thread([this] { io_.run(); });
  }

  void TearDown() override { StopServer(); }

  // Leaves the fixture ready for another StartServer.
  void StopServer() {
    if (!server_) return;
    // The server belongs to the io_context's thread; stop it there.
    std::promise<void> stopped;
    asio::post(io_, [this, &stopped] {
      server_.reset();
      stopped.set_value();
    });
    stopped.get_future().wait();
    io_.stop();
    io_thread_.join();
    io_.restart();
  }

  std::unique_ptr<RconTestClient> Connect() { return std::make_unique<RconTestClient>(port()); }

  std::unique_ptr<RconTestClient> LoggedIn() {
    auto client = Connect();
    EXPECT_TRUE(client->Login("letmein"));
    return client;
  }

  // The server frees a session slot a moment after its client leaves: keeps trying
  // for about a second; null if no login got in.
  std::unique_ptr<RconTestClient> LoggedInOnceFree() {
    for (int attempt = 0; attempt < 50; ++attempt) {
      auto candidate = Connect();
      if (candidate->Login("letmein")) {
        return candidate;
      }
      std::this_thread::sleep_for(20ms);
    }
    return nullptr;
  }

  std::uint16_t port() const { return server_->port(); }

  std::vector<std::string> commands() {
    const std::lock_guard lock(mutex_);
    return commands_;
  }

  // A fresh client still gets served: the server survived whatever came before.
  void ExpectStillServing() {
    auto client = LoggedIn();
    const auto reply = client->Run(99, "echo alive");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->body, "alive");
  }

  asio::io_context io_;
  std::unique_ptr<RconServer> server_;
  std::thread io_thread_;
  std::mutex mutex_;
  std::vector<std::string> commands_;
};

TEST_F(RconServerTest, LoginIsAnsweredWithOneAuthResponseCarryingTheRequestId) {
  StartServer();
  auto client = Connect();
  ASSERT_TRUE(client->Send({1234, RconPacketType::kAuth, "letmein"}));
  const auto answer = client->Receive();
  ASSERT_TRUE(answer);
  EXPECT_EQ(*answer, (RconPacket{1234, kExec, ""}));
  const auto reply = client->Run(5, "echo hello");
  ASSERT_TRUE(reply);
  EXPECT_EQ(*reply, (RconPacket{5, RconPacketType::kResponseValue, "hello"}));
}

TEST_F(RconServerTest, WrongPasswordGetsIdMinusOneAndTheConnectionCloses) {
  StartServer();
  auto client = Connect();
  ASSERT_TRUE(client->Send({8, RconPacketType::kAuth, "guess"}));
  const auto answer = client->Receive();
  ASSERT_TRUE(answer);
  EXPECT_EQ(*answer, (RconPacket{-1, kExec, ""}));
  EXPECT_TRUE(client->WaitClosed());
  ExpectStillServing();
}

TEST_F(RconServerTest, BadInputClosesTheConnectionWithoutRunningAnything) {
  struct Case {
    const char* name;
    bool log_in_first;
    std::string bytes;
  };
  const Case cases[] = {
      {"command before login", false, EncodeRconPacket({1, kExec, "echo sneaky"})},
      {"response value before login", false,
       EncodeRconPacket({1, RconPacketType::kResponseValue, ""})},
      {"oversized request", true,
       EncodeRconPacket({2, kExec, "echo " + std::string(kMaxRequestSize, 'x')})},
      {"garbage bytes", true, "\xff\xfe garbage that is no packet at all \x01\x02\x03"},
      {"bad terminator", true, WithoutTerminator(EncodeRconPacket({2, kExec, "echo x"}))},
      {"response value with a body", true,
       EncodeRconPacket({2, RconPacketType::kResponseValue, "echo x"})},
  };
  StartServer();
  for (const Case& test : cases) {
    auto client = test.log_in_first ? LoggedIn() : Connect();
    client->SendRaw(test.bytes);
    EXPECT_TRUE(client->WaitClosed()) << test.name;
  }
  EXPECT_TRUE(commands().empty());
  ExpectStillServing();
}

TEST_F(RconServerTest, RepliesCarryTheirRequestIdsInRequestOrder) {
  StartServer();
  auto client = LoggedIn();
  std::string pipelined;
  for (int id = 10; id < 15; ++id) {
    pipelined += EncodeRconPacket({id, kExec, "echo " + std::to_string(id)});
  }
  pipelined += EncodeRconPacket({15, kExec, ""});
  pipelined += EncodeRconPacket({16, kExec, "no such command"});
  pipelined += EncodeRconPacket({17, kExec, "two"});
  pipelined += EncodeRconPacket({18, kExec, "throw"});
  pipelined += EncodeRconPacket({19, RconPacketType::kResponseValue, ""});
  pipelined += EncodeRconPacket({-20, kExec, "id"});
  ASSERT_TRUE(client->SendRaw(pipelined));
  for (int id = 10; id < 15; ++id) {
    EXPECT_EQ(client->Receive(),
              (RconPacket{id, RconPacketType::kResponseValue, std::to_string(id)}));
  }
  EXPECT_EQ(client->Receive(), (RconPacket{15, RconPacketType::kResponseValue, ""}));
  EXPECT_EQ(client->Receive(), (RconPacket{16, RconPacketType::kResponseValue, ""}));
  EXPECT_EQ(client->Receive(), (RconPacket{17, RconPacketType::kResponseValue, "first\nsecond"}));
  EXPECT_EQ(client->Receive(), (RconPacket{18, RconPacketType::kResponseValue, ""}));
  EXPECT_EQ(client->Receive(), (RconPacket{19, RconPacketType::kResponseValue, ""}));
  EXPECT_EQ(client->Receive(), (RconPacket{-20, RconPacketType::kResponseValue, "-20"}));
  // The empty command is only a marker; it never reaches the game.
  EXPECT_EQ(commands().size(), 9U);
}

TEST_F(RconServerTest, LongRepliesArriveInFullPacketsFollowedByTheMirroredEndMarker) {
  StartServer();
  auto client = LoggedIn();
  ASSERT_TRUE(client->Send({3, kExec, "long 10000"}));
  ASSERT_TRUE(client->Send({4, RconPacketType::kResponseValue, ""}));
  std::string text;
  std::vector<std::size_t> sizes;
  while (true) {
    const auto packet = client->Receive();
    ASSERT_TRUE(packet);
    if (packet->id == 4) break;
    EXPECT_EQ(packet->id, 3);
    sizes.push_back(packet->body.size());
    text += packet->body;
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{4096, 4096, 1808}));
  EXPECT_EQ(text, std::string(10000, 'L'));
}

TEST_F(RconServerTest, RefusesConnectionsOverTheLimitAndAdmitsAgainWhenOneLeaves) {
  RconServerOptions options;
  options.max_connections = 4;
  StartServer(options);
  std::vector<std::unique_ptr<RconTestClient>> clients;
  for (int index = 0; index < 4; ++index) clients.push_back(LoggedIn());
  auto extra = Connect();
  EXPECT_TRUE(extra->WaitClosed());
  clients.front()->Close();
  clients.erase(clients.begin());
  // The server notices the departure when it reads the end of the stream.
  std::unique_ptr<RconTestClient> replacement;
  for (int attempt = 0; attempt < 50 && !replacement; ++attempt) {
    auto candidate = Connect();
    if (candidate->Login("letmein")) {
      replacement = std::move(candidate);
    } else {
      std::this_thread::sleep_for(20ms);
    }
  }
  ASSERT_TRUE(replacement);
  for (auto& client : clients) EXPECT_EQ(client->Run(7, "echo still")->body, "still");
}

TEST_F(RconServerTest, ASlowClientDoesNotHoldUpTheOthers) {
  StartServer();
  auto slow = LoggedIn();
  const std::string request = EncodeRconPacket({21, kExec, "echo slowly"});
  auto fast = LoggedIn();
  for (std::size_t index = 0; index < request.size(); ++index) {
    ASSERT_TRUE(slow->SendRaw(request.substr(index, 1)));
    if (index % 5 == 0) {
      EXPECT_EQ(fast->Run(static_cast<std::int32_t>(index), "echo quick")->body, "quick");
    }
  }
  EXPECT_EQ(slow->Receive(), (RconPacket{21, RconPacketType::kResponseValue, "slowly"}));
}

TEST_F(RconServerTest, AClientLeavingMidPacketFreesItsPlace) {
  RconServerOptions options;
  options.max_connections = 1;
  StartServer(options);
  {
    auto leaving = LoggedIn();
    const std::string request = EncodeRconPacket({1, kExec, "echo never"});
    ASSERT_TRUE(leaving->SendRaw(request.substr(0, request.size() / 2)));
  }
  const auto next = LoggedInOnceFree();
  ASSERT_TRUE(next);
  EXPECT_EQ(next->Run(2, "echo next")->body, "next");
  EXPECT_EQ(commands(), std::vector<std::string>{"echo next"});
}

TEST_F(RconServerTest, IdleConnectionsAreClosed) {
  RconServerOptions options;
  options.idle_timeout = 300ms;
  StartServer(options);
  auto silent = Connect();
  auto talking = LoggedIn();
  // A connection that keeps dripping bytes without completing a request is idle too.
  auto dripping = LoggedIn();
  const std::string request = EncodeRconPacket({1, kExec, "echo never"});
  for (int step = 0; step < 4; ++step) {
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(talking->Run(step, "echo here")->body, "here");
    dripping->SendRaw(request.substr(static_cast<std::size_t>(step), 1));
  }
  EXPECT_TRUE(silent->WaitClosed());
  EXPECT_TRUE(dripping->WaitClosed());
}

TEST_F(RconServerTest, RepeatedFailedLoginsLockTheAddressOut) {
  RconServerOptions options;
  options.failed_logins_before_lockout = 2;
  options.lockout = 500ms;
  StartServer(options);
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto client = Connect();
    EXPECT_FALSE(client->Login("wrong"));
  }
  // Even the right password is refused while the lockout lasts.
  auto refused = Connect();
  EXPECT_FALSE(refused->Login("letmein"));
  EXPECT_TRUE(refused->WaitClosed());
  std::this_thread::sleep_for(600ms);
  ExpectStillServing();
}

TEST_F(RconServerTest, AdministratorsLogInWhileIdleConnectionsFloodTheServer) {
  struct Case {
    const char* name;
    std::chrono::milliseconds login_timeout;
    std::size_t max_pending_logins;
    const char* attacker_address;
  };
  const RconServerOptions defaults;
  const Case cases[] = {
      {"the server's own limits", defaults.login_timeout, defaults.max_pending_logins, "127.0.0.1"},
      // Attackers are closed and come back many times while the administrators log in.
      {"a short login deadline", 30ms, defaults.max_pending_logins, "127.0.0.1"},
      // Most attackers are between connections at any time, each arrival pushing out
      // a waiting login: always one of the flood's own.
      {"more attackers than places to log in", defaults.login_timeout, 4, "127.0.0.2"},
  };
  for (const Case& test : cases) {
    RconServerOptions options;
    options.login_timeout = test.login_timeout;
    options.max_pending_logins = test.max_pending_logins;
    StartServer(options);
    {
      IdleFlood flood(port(), 16, test.attacker_address);
      while (flood.connections_made() < 16) std::this_thread::sleep_for(1ms);
      constexpr int kAttempts = 20;
      int served = 0;
      for (int attempt = 0; attempt < kAttempts; ++attempt) {
        try {
          RconTestClient client(port(), 2s);
          if (client.Login("letmein") && client.Run(attempt, "echo in")->body == "in") ++served;
        } catch (const std::runtime_error&) {
          // a refused or stalled login counts as a failure
        }
        std::this_thread::sleep_for(10ms);
      }
      EXPECT_EQ(served, kAttempts)
          << test.name << ": " << flood.connections_made() << " attacker connections";
    }
    StopServer();
  }
}

TEST_F(RconServerTest, ConnectionsThatDoNotLogInInTimeAreClosed) {
  RconServerOptions options;
  options.login_timeout = 200ms;
  StartServer(options);
  auto silent = Connect();
  auto dripping = Connect();
  auto logged_in = LoggedIn();
  const std::string login = EncodeRconPacket({1, RconPacketType::kAuth, "letmein"});
  // Traffic keeps a connection from being idle, but does not buy time to log in.
  for (std::size_t step = 0; step < 6; ++step) {
    std::this_thread::sleep_for(50ms);
    if (!dripping->SendRaw(login.substr(step, 1))) break;
  }
  EXPECT_TRUE(silent->WaitClosed());
  EXPECT_TRUE(dripping->WaitClosed());
  // The deadline is for logging in only; a session may stay quiet far longer.
  EXPECT_EQ(logged_in->Run(2, "echo stays")->body, "stays");
  ExpectStillServing();
}

TEST_F(RconServerTest, ANewConnectionPushesOutTheOldestWaitingLoginOfTheBusiestAddress) {
  RconServerOptions options;
  options.max_pending_logins = 3;
  StartServer(options);
  const std::string flooder = "127.0.0.2";
  auto session = LoggedIn();
  std::vector<std::unique_ptr<RconTestClient>> flood;
  flood.push_back(std::make_unique<RconTestClient>(port(), 5s, flooder));
  auto administrator = Connect();
  flood.push_back(std::make_unique<RconTestClient>(port(), 5s, flooder));
  // The places are full: every further arrival from the flooder pushes out its own
  // oldest connection, never the administrator's, however long it waits.
  for (int arrival = 0; arrival < 10; ++arrival) {
    flood.push_back(std::make_unique<RconTestClient>(port(), 5s, flooder));
    EXPECT_TRUE(flood[static_cast<std::size_t>(arrival)]->WaitClosed()) << arrival;
  }
  EXPECT_TRUE(administrator->Login("letmein"));
  EXPECT_EQ(administrator->Run(3, "echo in")->body, "in");
  // Logged-in sessions are never pushed out.
  EXPECT_EQ(session->Run(4, "echo still")->body, "still");
}

TEST_F(RconServerTest, ALoginBeyondTheSessionLimitIsRefusedWithoutCountingAsAGuess) {
  RconServerOptions options;
  options.max_connections = 1;
  options.failed_logins_before_lockout = 1;
  StartServer(options);
  // Both are admitted while the one session is free; only the first can have it.
  auto first = Connect();
  auto second = Connect();
  EXPECT_TRUE(first->Login("letmein"));
  EXPECT_FALSE(second->Login("letmein"));
  EXPECT_TRUE(second->WaitClosed());
  first->Close();
  const auto next = LoggedInOnceFree();
  ASSERT_TRUE(next);
  EXPECT_EQ(next->Run(5, "echo next")->body, "next");
}

}  // namespace
}  // namespace Sandbox
