// The opt-out storage inside the plug-in, driven by the host's callbacks at the host's
// real pace (frames and the one-second timer, real time passing): what each callback
// spends on it whatever the database does, what bw.status says meanwhile, and where
// choices go when the storage changes, fails or the plug-in unloads.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <variant>

#include "host/tools.hpp"
#include "host_library/clock.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "in_process_host.hpp"
#include "mariadb_server.hpp"
#include "opt_out/player_opt_out.hpp"
#include "plugin/load.hpp"
#include "plugin_session.hpp"
#include "real_pace_host.hpp"
#include "silent_listener.hpp"
#include "store_test_helpers.hpp"

namespace Bellwright {
namespace {

using namespace std::chrono_literals;
// What no callback may spend, with room for a slow, shared test machine.
constexpr auto kGenerousCallbackBound = 50ms;

std::string Config(const std::string& storage) {
  return R"({"Bellwright": {"Storage": )" + storage + R"(},
  "TimedMessages": {"Enabled": true, "Interval": 1, "OptOutCommand": "/ads",
    "Messages": [{"MessageToSend": "Announcement", "MessageType": "Server"}]}})";
}

std::string MySql(const Storage::StorageSettings& settings) {
  return R"({"Type": "MySQL", "Host": ")" + settings.host + R"(", "Port": )" +
         std::to_string(settings.port) + R"(, "User": ")" + settings.user + R"(", "Password": ")" +
         settings.password + R"(", "Database": ")" + settings.database + R"("})";
}

// Whether the storage holds this player's opt-out, asked as another server would.
bool Stored(const Storage::StorageSettings& settings, const std::string& key) {
  Storage::Testing::ReportLog log;
  return Storage::Testing::DrivenStore(settings, log).AskAndSettle(key);
}

class OptOutStorageTest : public ::testing::Test {
 protected:
  ~OptOutStorageTest() override {
    Sandbox::TheDelayedTasks().Abandon();
    Sandbox::TheWorld().Reset();
  }

  // A player's chat line, as the host delivers it.
  void Chat(const char* id, const char* text) {
    host_.Callback("chat", [&] { Sandbox::TheWorld().Chat(FString(id), FString(text)); });
  }
  [[nodiscard]] bool LogSays(const std::string& part) const {
    for (const auto& line : events_.Named("log")) {
      if (line["line"].get<std::string>().find(part) != std::string::npos) return true;
    }
    return false;
  }

  // A database of its own on the tests' MariaDB server, which `server_` then names.
  std::optional<Storage::StorageSettings> FreshDatabase() {
    auto fresh = Storage::Testing::FreshMySqlDatabase();
    std::string failure;
    server_ = Storage::Testing::SharedMariaDbServer(failure);
    if (auto* settings = std::get_if<Storage::StorageSettings>(&fresh)) return *settings;
    ADD_FAILURE() << std::get<std::string>(fresh);
    return std::nullopt;
  }

  InProcessHost events_;
  RealPaceHost host_;
  Storage::Testing::MariaDbServer* server_ = nullptr;
};

// Load, the timer, the opt-out command, a reload and the unload, against a database that
// does not answer: none of them waits for it.
TEST_F(OptOutStorageTest, NoCallbackWaitsForTheDatabase) {
  const auto database = FreshDatabase();
  ASSERT_TRUE(database);
  Storage::Testing::MariaDbServer* server = server_;
  Storage::Testing::SilentListener listener;
  Storage::StorageSettings silent = *database;
  silent.port = listener.Port();
  struct Fault {
    const char* name;
    std::string storage;
    std::function<void()> breaks;
    std::function<void()> mends;
  };
  sqlite3* holder = nullptr;
  const Fault faults[] = {
      {"a server that accepts and never answers", MySql(silent), [] {}, [] {}},
      {"a frozen server", MySql(*database), [&] { server->Freeze(true); },
       [&] { server->Freeze(false); }},
      {"a locked SQLite file", R"({"Type": "SQLite"})",
       [&] {
         const std::string file =
             AsaApi::Tools::GetCurrentDir() + "/ArkApi/Plugins/BellwrightEx/bellwright.sqlite";
         sqlite3_open(file.c_str(), &holder);
         sqlite3_exec(holder, "PRAGMA journal_mode = WAL; BEGIN EXCLUSIVE", nullptr, nullptr,
                      nullptr);
       },
       [&] {
         sqlite3_close_v2(holder);
         holder = nullptr;
       }},
  };
  // The first load of a process does once what every later one reuses (the schema of the
  // checks, the logger's formats): none of it is the storage's.
  { const PluginSession warm_up("{}"); }
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
    host_.ResetLongest();
    {
      std::unique_ptr<PluginSession> session;
      host_.Callback("load",
                     [&] { session = std::make_unique<PluginSession>(Config(fault.storage)); });
      fault.breaks();
      host_.RunFor(1s);
      Chat("A1", "/ads");
      host_.Callback("reload", [] { ReloadConfiguration(); });
      host_.RunFor(1500ms);
      Chat("A1", "/ads");
      host_.Callback("unload", [] { Unload(); });
    }
    fault.mends();
    EXPECT_LT(host_.Longest(), kGenerousCallbackBound);
    std::cout << fault.name << ": longest callback "
              << std::chrono::duration_cast<std::chrono::microseconds>(host_.Longest()).count()
              << " us (" << host_.LongestName() << ")\n";
    Sandbox::TheWorld().Reset();
  }
}

// A choice waiting to be written when the plug-in unloads is kept beside the
// configuration and written at the next start; a reload that only changes the password
// connects again with it.
TEST_F(OptOutStorageTest, NoChoiceIsLostWhenTheStorageFailsChangesOrUnloads) {
  const auto database = FreshDatabase();
  ASSERT_TRUE(database);
  Storage::Testing::MariaDbServer* server = server_;
  Storage::StorageSettings settings = *database;
  Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
  PluginSession session(Config(MySql(settings)));
  host_.RunFor(1s);
  server->Kill();
  Chat("A1", "/ads");
  host_.RunFor(1s);
  Unload();
  ASSERT_TRUE(LogSays("kept in")) << "the unload says where the choice waits";
  const auto kept = session.ConfigFile().parent_path() / "bellwright_unwritten_opt_outs.json";
  EXPECT_TRUE(std::filesystem::exists(kept));
  ASSERT_EQ(server->Restart(), std::nullopt);
  Load();
  host_.RunFor(500ms);
  EXPECT_TRUE(Stored(settings, "a1")) << "written at the next start";
  EXPECT_FALSE(std::filesystem::exists(kept)) << "and the file is gone once it is";

  // The password changes on the server and in the file. A plug-in that kept its old
  // connection would need the old password again once the server drops it.
  const std::string account = "'" + settings.user + "'@'127.0.0.1'";
  ASSERT_EQ(server->ExecuteAsRoot("ALTER USER " + account + " IDENTIFIED BY 'changed'"),
            std::nullopt);
  settings.password = "changed";
  session.WriteConfig(Config(MySql(settings)));
  ASSERT_TRUE(ReloadConfiguration().succeeded);
  host_.RunFor(300ms);
  server->DropClientConnections();
  events_.events.clear();
  Chat("A1", "/ads");
  host_.RunFor(500ms);
  EXPECT_FALSE(LogSays("does not work")) << "connected again with the new password";
  EXPECT_FALSE(Stored(settings, "a1"));
}

// A greeting the storage could not record before the unload waits in a file beside the
// configuration, like a choice: at the next start that player is no newcomer.
TEST_F(OptOutStorageTest, NoGreetingIsLostWhenTheStorageFailsAtTheUnload) {
  const auto database = FreshDatabase();
  ASSERT_TRUE(database);
  Storage::Testing::MariaDbServer* server = server_;
  const Storage::StorageSettings& settings = *database;
  PluginSession session(R"({"Bellwright": {"Storage": )" + MySql(settings) + R"(,
    "WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server",
      "DelaySeconds": 1, "FirstJoinMessage": "First time here, {0}"}}})");
  host_.RunFor(300ms);
  server->Kill();
  Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
  host_.RunFor(3s);
  ASSERT_EQ(events_.Named("server_message").size(), 1U);
  EXPECT_EQ(events_.Named("server_message")[0]["text"], "Welcome to the server Alice")
      << "no answer by the greeting: the ordinary welcome";
  Unload();
  ASSERT_TRUE(LogSays("greeting(s) not yet recorded are kept in"));
  const auto kept = session.ConfigFile().parent_path() / "bellwright_unrecorded_greetings.json";
  EXPECT_TRUE(std::filesystem::exists(kept));
  ASSERT_EQ(server->Restart(), std::nullopt);
  Load();
  host_.RunFor(500ms);
  EXPECT_FALSE(std::filesystem::exists(kept)) << "recorded at the next start";
  Storage::Testing::ReportLog log;
  Storage::Testing::DrivenStore elsewhere(settings, log);
  elsewhere.Greeted().Ask("a1");
  ASSERT_TRUE(elsewhere.Settle());
  EXPECT_EQ(elsewhere.Greeted().Greet("a1"), Storage::SeenMemory::Greeted::kBefore);
}

// While the database has not answered, bw.status tells the players it knows nothing of
// from those who opted out: only a choice made or answered counts.
TEST_F(OptOutStorageTest, TheStatusCountsOnlyAnsweredPlayersAsOptedOut) {
  const auto database = FreshDatabase();
  ASSERT_TRUE(database);
  Storage::Testing::SilentListener listener;
  Storage::StorageSettings silent = *database;
  silent.port = listener.Port();
  Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
  Sandbox::TheWorld().Join(FString("B1"), FString("Bob"));
  auto session = std::make_unique<PluginSession>(Config(MySql(silent)));
  host_.RunFor(500ms);
  Chat("B1", "/ads");
  host_.RunFor(500ms);
  EXPECT_EQ(PlayersStatusLine(),
            "players: 2 connected, 1 of them opted out of timed messages, 1 not yet known");
  EXPECT_TRUE(IsOptedOut(FString("A1"))) << "left out of timed messages until it is known";
  // The frame asked for while the connection waits outlives the plug-in's stop here (the
  // real host would drop it): it must drive nothing and ask for no more.
  ASSERT_EQ(Sandbox::TheDelayedTasks().Waiting(), 1);
  session.reset();
  host_.RunFor(200ms);
  EXPECT_EQ(Sandbox::TheDelayedTasks().Waiting(), 0);
  EXPECT_TRUE(events_.Named("host_error").empty());
}

// A choice made on another storage in this session goes with the player back to a
// storage used before, whose older row cannot undo it; a storage type the plug-in does
// not know keeps what is not written for the next storage, and for the kept file at the
// unload, and says so.
TEST_F(OptOutStorageTest, ALaterChoiceIsNeverUndoneByAnOlderOne) {
  const auto database = FreshDatabase();
  ASSERT_TRUE(database);
  Storage::Testing::MariaDbServer* server = server_;
  Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
  PluginSession session(Config(MySql(*database)));
  host_.RunFor(300ms);
  Chat("A1", "/ads");
  host_.RunFor(300ms);
  ASSERT_TRUE(Stored(*database, "a1"));
  session.WriteConfig(Config(R"({"Type": "SQLite"})"));
  ASSERT_TRUE(ReloadConfiguration().succeeded);
  host_.RunFor(1100ms);  // past the game's spam rule
  Chat("A1", "/ads");
  host_.RunFor(300ms);
  session.WriteConfig(Config(MySql(*database)));
  ASSERT_TRUE(ReloadConfiguration().succeeded);
  host_.RunFor(500ms);
  EXPECT_FALSE(IsOptedOut(FString("A1"))) << "the choice made on SQLite holds";
  EXPECT_FALSE(Stored(*database, "a1")) << "and went to MySQL too";

  server->Kill();
  host_.RunFor(500ms);
  Chat("A1", "/ads");
  host_.RunFor(200ms);
  session.WriteConfig(Config(R"({"Type": "Memory"})"));
  ASSERT_TRUE(ReloadConfiguration().succeeded);
  EXPECT_TRUE(LogSays("the 1 choice(s) not yet written wait for a storage the plug-in knows"));
  Unload();
  std::ifstream kept(session.ConfigFile().parent_path() / "bellwright_unwritten_opt_outs.json");
  const std::string text{std::istreambuf_iterator<char>(kept), {}};
  EXPECT_NE(text.find(R"("a1": true)"), std::string::npos) << text;
  ASSERT_EQ(server->Restart(), std::nullopt);
}

}  // namespace
}  // namespace Bellwright
