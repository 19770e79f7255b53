#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <filesystem>
#include <fstream>

#include "host_library/commands.hpp"
#include "host_library/events.hpp"
#include "host_library/hooks.hpp"
#include "host_library/server_directory.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "plugin_loader.hpp"

namespace {

class RecordedEvents final : public Sandbox::EventSink {
 public:
  RecordedEvents() { Sandbox::SetEventSink(this); }
  RecordedEvents(const RecordedEvents&) = delete;
  RecordedEvents& operator=(const RecordedEvents&) = delete;
  ~RecordedEvents() override { Sandbox::SetEventSink(nullptr); }
  void Write(const Sandbox::Event& event) override { events.push_back(event); }

  [[nodiscard]] std::vector<Sandbox::Event> OfKind(const std::string& kind) const {
    std::vector<Sandbox::Event> found;
    for (const auto& event : events) {
      if (event["event"] == kind) {
        found.push_back(event);
      }
    }
    return found;
  }
  std::vector<Sandbox::Event> events;
};

bool IsResident() {
  void* const handle = dlopen(BELLWRIGHT_FIXTURE_PLUGIN, RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) {
    dlclose(handle);
  }
  return handle != nullptr;
}

int FixtureStartUps() {
  void* const handle = dlopen(BELLWRIGHT_FIXTURE_PLUGIN, RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) {
    return -1;
  }
  auto* const start_ups = reinterpret_cast<int (*)()>(dlsym(handle, "FixtureStartUps"));
  const int count = start_ups != nullptr ? start_ups() : -1;
  dlclose(handle);
  return count;
}

std::string ConsoleReply(Sandbox::PlayerController* player, const char* line) {
  RecordedEvents recorded;
  Sandbox::TheCommandRegistry().RunConsole(player, FString(line));
  const auto replies = recorded.OfKind("server_message");
  return replies.size() == 1 ? replies[0]["text"].get<std::string>() : "";
}

TEST(SandboxPluginLoader, UnloadThenLoadStartsFromFreshModuleState) {
  Sandbox::TheWorld().Reset();
  ASSERT_EQ(Sandbox::TheWorld().Join(FString("P1"), FString("Tester")), "");
  Sandbox::PluginLoader loader;
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(loader.Load(BELLWRIGHT_FIXTURE_PLUGIN), "");
    EXPECT_EQ(FixtureStartUps(), 1);
    EXPECT_EQ(ConsoleReply(Sandbox::TheWorld().FindConnected(FString("P1")), "fixture.count"), "1");
    loader.Unload();
    EXPECT_FALSE(IsResident());
  }
  Sandbox::TheWorld().Reset();
}

TEST(SandboxPluginLoader, WhatThePluginLeavesBehindIsDroppedAndReported) {
  Sandbox::PluginLoader loader;
  ASSERT_EQ(loader.Load(BELLWRIGHT_FIXTURE_PLUGIN), "");
  ASSERT_EQ(Sandbox::TheDelayedTasks().Waiting(), 1);
  RecordedEvents recorded;
  loader.Unload();

  // The task was destroyed before the library went; the command and hook it
  // left registered are forgotten and reported.
  EXPECT_EQ(Sandbox::TheDelayedTasks().Waiting(), 0);
  const auto errors = recorded.OfKind("host_error");
  ASSERT_EQ(errors.size(), 2U);
  EXPECT_EQ(errors[0]["where"], "unload");
  EXPECT_NE(errors[0]["what"].get<std::string>().find("console command fixture.leftover"),
            std::string::npos);
  EXPECT_NE(errors[1]["what"].get<std::string>().find("AGameState.DefaultTimer()"),
            std::string::npos);
  EXPECT_TRUE(Sandbox::TheCommandRegistry().ConsoleNames().empty());
  EXPECT_TRUE(Sandbox::TheGameFunctions().DetouredNames().empty());
  // The game's own timer runs again without the plug-in.
  Sandbox::TheWorld().RunGameStateTimer();
}

// The plug-in drives its storage at every frame while a database has not answered, with a
// task of delay 0 that it asks for again each time: the host drops that task with the
// plug-in's others when it unloads it, so nothing of the plug-in is left to run.
TEST(SandboxPluginLoader, TheStoragesFrameTaskIsDroppedWithThePlugin) {
  // A server that takes the connection (the system does, from its backlog) and never
  // says a word.
  asio::io_context io;
  asio::ip::tcp::acceptor silent(io, {asio::ip::make_address("127.0.0.1"), 0});
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("bellwright-frames-" + std::to_string(getpid()));
  const std::filesystem::path config = folder / "ArkApi/Plugins/BellwrightEx/config.json";
  std::filesystem::create_directories(config.parent_path());
  std::ofstream(config) << R"({"Bellwright": {"Storage": {"Type": "MySQL", "Host": "127.0.0.1",
    "Port": )" << silent.local_endpoint().port()
                        << R"(, "User": "u", "Database": "d"}},
    "TimedMessages": {"OptOutCommand": "/ads"}})";
  Sandbox::SetServerDirectory(folder.string());
  // The plug-in starts the MySQL client library's process-wide state and never ends it:
  // it belongs to the process, which other plug-ins may share. Kept loaded here, as a
  // server that uses the library keeps it, so that state stays where the leak checker of
  // the sanitizer builds can reach it after the plug-in is gone.
  ASSERT_NE(dlopen("libmariadb.so.3", RTLD_NOW | RTLD_NODELETE), nullptr) << dlerror();
  Sandbox::PluginLoader loader;
  ASSERT_EQ(loader.Load(BELLWRIGHT_PLUGIN), "");
  for (int frame = 0; frame < 3; ++frame) Sandbox::TheDelayedTasks().RunFrame();
  EXPECT_EQ(Sandbox::TheDelayedTasks().Waiting(), 1) << "the storage waits for the server";
  RecordedEvents recorded;
  loader.Unload();
  EXPECT_EQ(Sandbox::TheDelayedTasks().Waiting(), 0);
  EXPECT_TRUE(recorded.OfKind("host_error").empty());
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

TEST(SandboxPluginLoader, ExceptionLeavingACommandBecomesHostError) {
  Sandbox::PluginLoader loader;
  ASSERT_EQ(loader.Load(BELLWRIGHT_FIXTURE_PLUGIN), "");
  {
    RecordedEvents recorded;
    EXPECT_TRUE(Sandbox::TheCommandRegistry().RunConsole(nullptr, FString("FIXTURE.THROW now")));
    const auto errors = recorded.OfKind("host_error");
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_EQ(errors[0]["where"], "console command FIXTURE.THROW");
    EXPECT_EQ(errors[0]["what"], "fixture failure");
  }
  loader.Unload();
}

TEST(SandboxPluginLoader, MissingLibraryIsAnError) {
  Sandbox::PluginLoader loader;
  EXPECT_NE(loader.Load("/nonexistent/Bellwright.so"), "");
  EXPECT_FALSE(loader.IsLoaded());
}

}  // namespace
