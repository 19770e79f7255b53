// A cluster at a real network's pace: two live sandbox servers, each a process of its own
// with its own folder, share one MariaDB database named by a host name, behind a proxy
// that holds every packet 1 ms, then 25 ms, in each direction. Live mode, so the servers'
// frames, timer calls and the database's answers all run in real time, as on a cluster.
//
// The sandbox is BELLWRIGHT_SANDBOX, run through BELLWRIGHT_RUNNER when that is set
// (wine64 for the Windows build).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <variant>

#include "distant_database.hpp"
#include "live_server.hpp"
#include "temporary_folder.hpp"

namespace Bellwright::Testing {
namespace {

using namespace std::chrono_literals;
using Clock = LiveServer::Clock;

constexpr const char* kFirstJoin = "First time on the cluster, ";
constexpr const char* kReturning = "Welcome back ";

struct Pace {
  const char* name;
  std::chrono::milliseconds one_way;
  Clock::duration open_bound;           // the load to a choice made then being stored
  Clock::duration answer_bound;         // a choice stored; a joining player known
  Clock::duration second_server_bound;  // a choice made on one server known on the other
};

std::string ClusterConfig(const Storage::StorageSettings& database) {
  return R"({"Bellwright": {
  "WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server",
    "Message": ")" +
         std::string(kReturning) + R"({0}", "FirstJoinMessage": ")" + kFirstJoin + R"({0}"},
  "Storage": {"Type": "MySQL", "Host": ")" +
         database.host + R"(", "Port": )" + std::to_string(database.port) + R"(, "User": ")" +
         database.user + R"(", "Password": ")" + database.password + R"(", "Database": ")" +
         database.database + R"("}},
  "TimedMessages": {"Enabled": false, "OptOutCommand": "/ads", "Messages": []}})";
}

LiveServer::Match Greeting(const std::string& to) {
  return [to](const nlohmann::json& event) {
    return event.value("event", "") == "server_message" && event.value("to", "") == to;
  };
}

// Polls until `done` holds or `limit` passes: how long it took, or nothing.
std::optional<Clock::duration> Within(const std::function<bool()>& done, Clock::duration limit,
                                      Clock::duration pause = 5ms) {
  const Clock::time_point started = Clock::now();
  while (!done()) {
    if (Clock::now() - started >= limit) return std::nullopt;
    std::this_thread::sleep_for(pause);
  }
  return Clock::now() - started;
}

std::string Seconds(std::optional<Clock::duration> duration) {
  if (!duration) return "never";
  return std::to_string(std::chrono::duration<double>(*duration).count()) + " s";
}

// Whether bw.status says every player is known and `opted_out` of them opted out.
bool AllKnown(LiveServer& server, int connected, int opted_out) {
  return server.Status().find("players: " + std::to_string(connected) + " connected, " +
                              std::to_string(opted_out) +
                              " of them opted out of timed messages\n") != std::string::npos;
}

TEST(LiveClusterTest, TwoServersShareChoicesAndFirstVisitsAtANetworksPace) {
  const SandboxCommand sandbox = SandboxFromEnvironment();
  ASSERT_FALSE(sandbox.sandbox.empty()) << "BELLWRIGHT_SANDBOX names the sandbox to run";
  const Pace paces[] = {{"1 ms each way", 1ms, 500ms, 500ms, 500ms},
                        {"25 ms each way", 25ms, 2s, 1s, 2s}};
  for (const Pace& pace : paces) {
    SCOPED_TRACE(pace.name);
    auto made = DistantDatabase::Make(pace.one_way);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<DistantDatabase>>(made))
        << std::get<std::string>(made);
    const DistantDatabase& database = *std::get<std::unique_ptr<DistantDatabase>>(made);
    const std::string config = ClusterConfig(database.Settings());
    const Storage::Testing::TemporaryFolder first_folder("bellwright-cluster-a");
    const Storage::Testing::TemporaryFolder second_folder("bellwright-cluster-b");

    LiveServer first(sandbox, ServerFolder(first_folder.Path(), config));
    LiveServer second(sandbox, ServerFolder(second_folder.Path(), config));
    // Each server's storage, from its load to a choice typed at once being stored.
    ASSERT_TRUE(first.WaitFor(Named("registry"), 60s)) << "the first server did not start";
    first.Type("join A1 Alice");
    first.Type("chat A1 /ads");
    const auto first_open = Within([&] { return database.Stored("a1"); }, 10s);
    ASSERT_TRUE(second.WaitFor(Named("registry"), 60s)) << "the second server did not start";
    second.Type("join C1 Carol");
    second.Type("chat C1 /ads");
    const auto second_open = Within([&] { return database.Stored("c1"); }, 10s);

    // A player joins the first server: their choice and first visit are known soon, and
    // their own choice is stored soon.
    first.Type("join B1 Bob");
    const auto join_known = Within([&] { return AllKnown(first, 2, 1); }, 10s, 0ms);
    first.Type("chat B1 /ads");
    const auto choice = Within([&] { return database.Stored("b1"); }, 10s);

    // Alice, greeted on the first server, comes to the second: her choice is known there.
    ASSERT_TRUE(first.WaitFor(Greeting("A1"), 10s));
    ASSERT_TRUE(Within([&] { return database.Greeted("a1"); }, 5s));
    second.Type("join A1 Alice");
    const auto elsewhere = Within([&] { return AllKnown(second, 2, 2); }, 10s, 0ms);
    ASSERT_TRUE(second.WaitFor(Greeting("A1"), 10s));
    ASSERT_TRUE(first.WaitFor(Greeting("B1"), 10s));
    first.Stop();
    second.Stop();

    EXPECT_LE(first_open.value_or(Clock::duration::max()), pace.open_bound);
    EXPECT_LE(second_open.value_or(Clock::duration::max()), pace.open_bound);
    EXPECT_LE(join_known.value_or(Clock::duration::max()), pace.answer_bound);
    EXPECT_LE(choice.value_or(Clock::duration::max()), pace.answer_bound);
    EXPECT_LE(elsewhere.value_or(Clock::duration::max()), pace.second_server_bound);
    const auto text_to = [](LiveServer& server, const std::string& to) {
      const auto greeting = server.WaitFor(Greeting(to), 0s);
      return greeting ? greeting->fields.value("text", "") : "";
    };
    EXPECT_EQ(text_to(first, "A1"), std::string(kFirstJoin) + "Alice");
    EXPECT_EQ(text_to(first, "B1"), std::string(kFirstJoin) + "Bob");
    EXPECT_EQ(text_to(second, "C1"), std::string(kFirstJoin) + "Carol");
    EXPECT_EQ(text_to(second, "A1"), std::string(kReturning) + "Alice");
    for (LiveServer* server : {&first, &second}) {
      for (const LiveServer::Event& event : server->Events()) {
        EXPECT_NE(event.fields.value("event", ""), "host_error") << event.fields.dump();
        EXPECT_EQ(event.fields.dump().find("does not work"), std::string::npos)
            << event.fields.dump();
      }
    }
    std::cout << pace.name << ": storage working " << Seconds(first_open) << " and "
              << Seconds(second_open) << " after the loads, a join known in " << Seconds(join_known)
              << ", a choice stored in " << Seconds(choice)
              << ", a choice known on the second server " << Seconds(elsewhere)
              << " after the join\n";
  }
}

}  // namespace
}  // namespace Bellwright::Testing
