// One voice for a cluster, live: three sandbox servers, each a process with a folder of its
// own and an RCON listener, share one MariaDB database named by a host name, 25 ms away in
// each direction; two more share one SQLite file. Messages for every server and countdowns
// are sent over RCON as an administrator would, and each server's players are watched in
// its transcript. One server is stopped for over a minute meanwhile, so that its return
// is tested while the others' tests run.
//
// The sandbox is BELLWRIGHT_SANDBOX, run through BELLWRIGHT_RUNNER when that is set.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "distant_database.hpp"
#include "live_server.hpp"
#include "temporary_folder.hpp"

namespace Bellwright::Testing {
namespace {

using namespace std::chrono_literals;
using Clock = LiveServer::Clock;

// What every server's file holds but its name and its storage: one file for the cluster.
std::string ClusterConfig(const std::string& name, const std::string& storage) {
  return R"({"Bellwright": {"ServerName": ")" + name + R"(", "Storage": )" + storage + R"(},
  "CustomCommands": {
    "/where": {"Message": "You are on {ServerName}", "Type": "Server", "MessageColor": [255, 255, 255]},
    "/island": {"Message": "Island only", "Type": "Server", "MessageColor": [255, 255, 255],
      "Servers": ["ISLAND"]}
  },
  "TimedMessages": {"Enabled": true, "Interval": 3600, "Messages": [
    {"MessageToSend": "Everywhere"},
    {"MessageToSend": "Not on Center", "Servers": ["island", "Scorched"]}]},
  "Announcements": [
    {"Name": "Center tips", "Interval": 3600, "Servers": ["Center"],
      "Messages": [{"MessageToSend": "A tip"}]},
    {"Name": "Shared tips", "Interval": 3600, "Messages": [
      {"MessageToSend": "On Scorched", "Servers": ["Scorched"]}]}],
  "Schedules": [
    {"Name": "Scorched restart", "At": ["06:00"], "Servers": ["Scorched"],
      "MessageToSend": "Restart"}],
  "Countdown": {"Steps": [1], "MessageToSend": "Restart of {ServerName} in {Minutes} minutes",
    "MessageType": "Server"}})";
}

std::string MySqlStorage(const Storage::StorageSettings& database) {
  return R"({"Type": "MySQL", "Host": ")" + database.host + R"(", "Port": )" +
         std::to_string(database.port) + R"(, "User": ")" + database.user + R"(", "Password": ")" +
         database.password + R"(", "Database": ")" + database.database + R"("})";
}

std::string SqliteStorage(const SandboxCommand& sandbox, const std::filesystem::path& file) {
  return R"({"Type": "SQLite", "Path": )" + nlohmann::json(sandbox.PathFor(file)).dump() + "}";
}

// An event for the player whose text holds `text`.
LiveServer::Match ToPlayer(const std::string& player, const std::string& text) {
  return [player, text](const nlohmann::json& event) {
    return event.value("to", "") == player &&
           event.value("text", "").find(text) != std::string::npos;
  };
}

int Count(const LiveServer& server, const LiveServer::Match& matches) {
  const std::vector<LiveServer::Event> events = server.Events();
  return static_cast<int>(std::count_if(events.begin(), events.end(),
                                        [&](const auto& event) { return matches(event.fields); }));
}

// Polls until `done` holds or `limit` passes: how long it took, or nothing.
std::optional<Clock::duration> Within(const std::function<bool()>& done, Clock::duration limit) {
  const Clock::time_point started = Clock::now();
  while (!done()) {
    if (Clock::now() - started >= limit) return std::nullopt;
    std::this_thread::sleep_for(20ms);
  }
  return Clock::now() - started;
}

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// A server of the test: its folder, and the process, which may be stopped and started again
// on the same folder.
struct Server {
  std::string name;
  std::string player;
  std::unique_ptr<Storage::Testing::TemporaryFolder> folder;
  std::filesystem::path path;
  std::unique_ptr<LiveServer> process;

  void Start(const SandboxCommand& sandbox) {
    process = std::make_unique<LiveServer>(sandbox, path, LiveServer::Rcon::kListening);
    ASSERT_TRUE(process->WaitFor(Named("registry"), 60s)) << name << " did not start";
    process->Type("join " + player + " Player" + player);
  }
  LiveServer& Live() { return *process; }
};

Server MakeServer(const std::string& name, const std::string& player, const std::string& storage) {
  Server server{name,
                player,
                std::make_unique<Storage::Testing::TemporaryFolder>("bellwright-cluster-" + name),
                {},
                nullptr};
  server.path = ServerFolder(server.folder->Path(), ClusterConfig(name, storage));
  return server;
}

// Sends `command` over RCON to `from` and waits until each other server's player has an
// event holding `text`: the longest wait, or nothing when one never came within 10 s.
std::optional<Clock::duration> SendAndAwait(Server& from, std::vector<Server*> others,
                                            const std::string& command, const std::string& text,
                                            std::string& reply) {
  const Clock::time_point sent = Clock::now();
  reply = from.Live().RconCommand(command);
  Clock::duration slowest{};
  for (Server* other : others) {
    const auto arrived = other->Live().WaitFor(ToPlayer(other->player, text), 10s);
    if (!arrived) return std::nullopt;
    slowest = std::max(slowest, arrived->arrived - sent);
  }
  return slowest;
}

bool StatusHolds(Server& server, const std::string& text) {
  return server.Live().Status().find(text) != std::string::npos;
}

TEST(ClusterMessagesTest, EveryServerHearsOneVoice) {
  const SandboxCommand sandbox = SandboxFromEnvironment();
  ASSERT_FALSE(sandbox.sandbox.empty()) << "BELLWRIGHT_SANDBOX names the sandbox to run";
  auto made = DistantDatabase::Make(25ms);
  ASSERT_TRUE(std::holds_alternative<std::unique_ptr<DistantDatabase>>(made))
      << std::get<std::string>(made);
  const std::string storage =
      MySqlStorage(std::get<std::unique_ptr<DistantDatabase>>(made)->Settings());
  Server center = MakeServer("Center", "C1", storage);
  Server island = MakeServer("Island", "I1", storage);
  Server scorched = MakeServer("Scorched", "S1", storage);
  std::vector<Server*> all = {&center, &island, &scorched};
  for (Server* server : all) ASSERT_NO_FATAL_FAILURE(server->Start(sandbox));
  for (Server* server : all) {
    ASSERT_TRUE(Within([&] { return StatusHolds(*server, "seen in the last minute:"); }, 20s))
        << server->name << ": " << server->Live().Status();
  }

  // One file, each server its own items.
  for (Server* server : all) server->Live().Type("chat " + server->player + " /where");
  for (Server* server : all) {
    EXPECT_TRUE(server->Live().WaitFor(ToPlayer(server->player, "You are on " + server->name), 5s))
        << server->name;
  }
  // The game drops a player's second chat line within a second.
  std::this_thread::sleep_for(1100ms);
  for (Server* server : all) server->Live().Type("chat " + server->player + " /island");
  EXPECT_TRUE(island.Live().WaitFor(ToPlayer("I1", "Island only"), 5s));
  const std::map<std::string, std::vector<std::string>> status_holds = {
      {"Center", {"1 message", "Center tips (list)", "custom commands: 1"}},
      {"Island", {"2 messages", "custom commands: 2"}},
      {"Scorched", {"2 messages", "Shared tips (list)", "Scorched restart (schedule)"}}};
  const std::map<std::string, std::vector<std::string>> status_lacks = {
      {"Center", {"Scorched restart"}},
      {"Island", {"Center tips", "Scorched restart"}},
      {"Scorched", {"Center tips", "custom commands: 2"}}};
  for (Server* server : all) {
    const std::string status = server->Live().Status();
    for (const std::string& text : status_holds.at(server->name)) {
      EXPECT_NE(status.find(text), std::string::npos) << server->name << " lacks " << text << "\n"
                                                      << status;
    }
    for (const std::string& text : status_lacks.at(server->name)) {
      EXPECT_EQ(status.find(text), std::string::npos) << server->name << " has " << text << "\n"
                                                      << status;
    }
  }

  // Messages for every server, from each server in turn, in each form.
  std::string reply;
  const auto server_message = SendAndAwait(
      center, {&island, &scorched},
      R"(bw.sendserver cluster "Hello every server, {{braces}} 'quotes' \ ;--" 0 170 255)",
      "Hello every server", reply);
  EXPECT_NE(reply.find("queued for 2 other servers: Island, Scorched"), std::string::npos) << reply;
  const auto chat = SendAndAwait(island, {&center, &scorched},
                                 R"(bw.sendchat cluster Admin "Chat to every server")",
                                 "Chat to every server", reply);
  const auto notification = SendAndAwait(
      scorched, {&center, &island},
      R"(bw.sendnotification cluster "Notified everywhere" 1.5 8 255 255 255 /Game/Icons/Star)",
      "Notified everywhere", reply);
  // A countdown started on one runs on every server, each saying its own name.
  const auto countdown =
      SendAndAwait(island, {&center, &scorched}, "bw.countdown 5 cluster", "in 5 minutes", reply);
  EXPECT_NE(reply.find("queued for 2 other servers: Center, Scorched"), std::string::npos) << reply;
  for (Server* server : all) {
    EXPECT_TRUE(server->Live().WaitFor(
        ToPlayer(server->player, "Restart of " + server->name + " in 5 minutes"), 5s))
        << server->name;
    EXPECT_TRUE(Within([&] { return StatusHolds(*server, "countdown: 5 minutes"); }, 2s))
        << server->name << ": " << server->Live().Status();
  }
  reply = scorched.Live().RconCommand("bw.countdown cancel cluster");
  EXPECT_NE(reply.find("queued for 2 other servers"), std::string::npos) << reply;
  for (Server* server : all) {
    EXPECT_TRUE(Within([&] { return StatusHolds(*server, "countdown: none"); }, 2s))
        << server->name;
  }
  for (const auto& [what, delay] :
       {std::pair{"server message", server_message}, std::pair{"chat line", chat},
        std::pair{"notification", notification}, std::pair{"countdown", countdown}}) {
    ASSERT_TRUE(delay.has_value()) << what << " did not reach every server";
    EXPECT_LE(*delay, 2s) << what;
    std::cout << what << " for every server, 25 ms each way: on the last server after "
              << Seconds(*delay) << " s\n";
  }

  // Scorched goes down; a message sent now is more than a minute old when it is back.
  scorched.process->Stop();
  const Clock::time_point down = Clock::now();
  reply = center.Live().RconCommand(R"(bw.sendserver cluster "Sent while Scorched was down")");
  EXPECT_NE(reply.find("queued for"), std::string::npos) << reply;

  {
    // Meanwhile: two servers of one machine on one SQLite file.
    const Storage::Testing::TemporaryFolder shared("bellwright-cluster-file");
    const std::string file = SqliteStorage(sandbox, shared.Path() / "cluster.sqlite");
    Server north = MakeServer("North", "N1", file);
    Server south = MakeServer("South", "O1", file);
    ASSERT_NO_FATAL_FAILURE(north.Start(sandbox));
    ASSERT_NO_FATAL_FAILURE(south.Start(sandbox));
    ASSERT_TRUE(Within([&] { return StatusHolds(north, "South (1 player)"); }, 20s))
        << north.Live().Status();
    const auto over_file =
        SendAndAwait(north, {&south}, R"(bw.sendserver cluster "One file")", "One file", reply);
    ASSERT_TRUE(over_file.has_value()) << "the SQLite file did not carry the message";
    EXPECT_LE(*over_file, 2s);
    EXPECT_NE(reply.find("queued for 1 other server: South"), std::string::npos) << reply;
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(Count(south.Live(), ToPlayer("O1", "One file")), 1);
    EXPECT_EQ(Count(north.Live(), ToPlayer("N1", "One file")), 1);
    std::cout << "over one SQLite file: on the other server after " << Seconds(*over_file)
              << " s\n";
  }

  std::this_thread::sleep_until(down + 50s);
  center.Live().RconCommand(R"(bw.sendserver cluster "Sent a little before Scorched was back")");
  std::this_thread::sleep_until(down + 62s);
  for (const char* text :
       {"Hello every server", "Chat to every server", "Notified everywhere", "in 5 minutes"}) {
    EXPECT_EQ(Count(scorched.Live(), ToPlayer("S1", text)), 1) << "Scorched: " << text;
  }
  for (const LiveServer::Event& event : scorched.Live().Events()) {
    EXPECT_NE(event.fields.value("event", ""), "host_error") << event.fields.dump();
  }
  ASSERT_NO_FATAL_FAILURE(scorched.Start(sandbox));
  EXPECT_TRUE(scorched.Live().WaitFor(ToPlayer("S1", "a little before Scorched was back"), 10s));
  std::this_thread::sleep_for(3s);
  EXPECT_EQ(Count(scorched.Live(), ToPlayer("S1", "a little before Scorched was back")), 1);
  EXPECT_EQ(Count(scorched.Live(), ToPlayer("S1", "while Scorched was down")), 0)
      << "a message over a minute old";
  EXPECT_EQ(Count(scorched.Live(), ToPlayer("S1", "Hello every server")), 0)
      << "delivered before the stop";

  // Each message once on each server, the sender's own included.
  for (Server* server : {&center, &island}) {
    for (const char* text : {"Hello every server", "Chat to every server", "Notified everywhere",
                             "in 5 minutes", "a little before Scorched was back"}) {
      EXPECT_EQ(Count(server->Live(), ToPlayer(server->player, text)), 1)
          << server->name << ": " << text;
    }
  }
  for (Server* server : all) {
    server->Live().Stop();
    for (const LiveServer::Event& event : server->Live().Events()) {
      EXPECT_NE(event.fields.value("event", ""), "host_error") << event.fields.dump();
      EXPECT_EQ(event.fields.dump().find("does not work"), std::string::npos)
          << event.fields.dump();
    }
  }
}

}  // namespace
}  // namespace Bellwright::Testing
