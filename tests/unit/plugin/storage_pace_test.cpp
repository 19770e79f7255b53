// How soon the storage answers at the real host's pace: frames 30 times a second, the
// game-state timer once a second, real time passing, and a MariaDB server named by a host
// name behind a proxy that holds every packet 1 ms, then 25 ms, in each direction.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "distant_database.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "in_process_host.hpp"
#include "opt_out/player_opt_out.hpp"
#include "plugin/load.hpp"
#include "plugin_session.hpp"
#include "real_pace_host.hpp"

namespace Bellwright {
namespace {

using namespace std::chrono_literals;
using Duration = RealPaceHost::Clock::duration;

// What no callback may spend, with room for a slow, shared test machine.
constexpr auto kGenerousCallbackBound = 50ms;
constexpr const char* kFirstJoin = "First time here, {0}";

std::string Config(const Storage::StorageSettings& database) {
  return R"({"Bellwright": {
  "Storage": {"Type": "MySQL", "Host": ")" +
         database.host + R"(", "Port": )" + std::to_string(database.port) + R"(, "User": ")" +
         database.user + R"(", "Password": ")" + database.password + R"(", "Database": ")" +
         database.database + R"("},
  "WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server",
    "FirstJoinMessage": ")" +
         kFirstJoin + R"("}},
  "TimedMessages": {"Enabled": false, "OptOutCommand": "/ads", "Messages": []}})";
}

struct Pace {
  const char* name;
  std::chrono::milliseconds one_way;
  Duration open_bound;    // from the load to a choice made at the load being stored
  Duration answer_bound;  // a choice stored, a joining player known
};

std::string Seconds(std::optional<Duration> duration) {
  if (!duration) return "never";
  return std::to_string(std::chrono::duration<double>(*duration).count()) + " s";
}

std::string Microseconds(Duration duration) {
  return std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(duration).count()) +
         " us";
}

TEST(StoragePaceTest, AnswersComeWithinASecondAtANetworksPace) {
  const Pace paces[] = {{"1 ms each way", 1ms, 500ms, 500ms}, {"25 ms each way", 25ms, 2s, 1s}};
  // The first load of a process does once what every later one reuses (the schema of the
  // checks, the logger's formats): none of it is the storage's.
  { const PluginSession warm_up("{}"); }
  for (const Pace& pace : paces) {
    SCOPED_TRACE(pace.name);
    auto made = Testing::DistantDatabase::Make(pace.one_way);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<Testing::DistantDatabase>>(made))
        << std::get<std::string>(made);
    const Testing::DistantDatabase& database =
        *std::get<std::unique_ptr<Testing::DistantDatabase>>(made);

    InProcessHost events;
    RealPaceHost host;
    // On the server before the plug-in loads, so only the storage's open answers about her.
    Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
    std::unique_ptr<PluginSession> session;
    host.Callback("load",
                  [&] { session = std::make_unique<PluginSession>(Config(database.Settings())); });
    host.Callback("chat", [] { Sandbox::TheWorld().Chat(FString("A1"), FString("/ads")); });
    const auto open = host.RunUntil([&] { return database.Stored("a1"); }, 10s);

    host.Callback("join", [] { Sandbox::TheWorld().Join(FString("B1"), FString("Bob")); });
    const auto known = host.RunUntil(
        [] { return PlayersStatusLine().find("not yet known") == std::string::npos; }, 10s);
    host.Callback("chat", [] { Sandbox::TheWorld().Chat(FString("B1"), FString("/ads")); });
    const auto choice = host.RunUntil([&] { return database.Stored("b1"); }, 10s);
    host.RunUntil([&] { return !events.Named("server_message").empty(); }, 10s);
    host.RunFor(500ms);
    EXPECT_EQ(Sandbox::TheDelayedTasks().Waiting(), 0) << "an idle server asks for no frames";
    host.Callback("unload", [] { Unload(); });
    session.reset();

    EXPECT_LE(open.value_or(Duration::max()), pace.open_bound) << "the storage works";
    EXPECT_LE(known.value_or(Duration::max()), pace.answer_bound)
        << "a joining player's choice and first visit are known";
    EXPECT_LE(choice.value_or(Duration::max()), pace.answer_bound) << "a choice is stored";
    const auto greetings = events.Named("server_message");
    ASSERT_EQ(greetings.size(), 1U);
    EXPECT_EQ(greetings[0]["to"], "B1");
    EXPECT_EQ(greetings[0]["text"], "First time here, Bob") << "at the default welcome delay";
    EXPECT_TRUE(events.Named("host_error").empty());
    EXPECT_LT(host.Longest(), kGenerousCallbackBound);
    std::cout << pace.name << ": storage working " << Seconds(open)
              << " after the load, a join known in " << Seconds(known) << ", a choice stored in "
              << Seconds(choice) << "; longest frame " << Microseconds(host.Longest("frame"))
              << ", timer call " << Microseconds(host.Longest("timer")) << ", chat "
              << Microseconds(host.Longest("chat")) << ", join "
              << Microseconds(host.Longest("join")) << ", load "
              << Microseconds(host.Longest("load")) << ", unload "
              << Microseconds(host.Longest("unload")) << "\n";
    Sandbox::TheDelayedTasks().Abandon();
    Sandbox::TheWorld().Reset();
  }
}

}  // namespace
}  // namespace Bellwright
