// Waiting for the disk is left to the unload: no timer call, possession, logout or
// command flushes a file, whatever the storage and the kept files do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "disk_flushes.hpp"
#include "host_library/clock.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/world.hpp"
#include "in_process_host.hpp"
#include "plugin/load.hpp"
#include "plugin_session.hpp"

namespace Bellwright {
namespace {

constexpr int kPlayers = 10;

std::string Id(int player) {
  return "P" + std::to_string(player);
}

TEST(DiskSyncTest, OnlyTheUnloadWaitsForTheDisk) {
  Sandbox::TheClock().UseVirtual();
  InProcessHost host;
  PluginSession session(R"({"Bellwright": {"WelcomeMessage": {"EnableWelcomeMessage": true,
      "DelaySeconds": 1, "FirstJoinMessage": "First time here, {0}"}},
    "TimedMessages": {"Enabled": true, "Interval": 5, "OptOutCommand": "/ads",
      "Messages": [{"MessageToSend": "timed", "MessageType": "Server"}]}})");
  // Left by an earlier start: taken, written, then taken out of the file in the session.
  std::ofstream(session.ConfigFile().parent_path() / "bellwright_unwritten_opt_outs.json")
      << R"({"earlier": true})";
  const auto tick = [] { Sandbox::StepOneSecond(); };
  const long at_load = DiskFlushes();
  for (int player = 0; player < kPlayers; ++player) {
    Sandbox::TheWorld().Join(FString(Id(player)), FString("Player"));
  }
  for (int second = 0; second < 60; ++second) {
    tick();
    const int player = second % kPlayers;
    Sandbox::TheWorld().Chat(FString(Id(player)), FString("/ads"));
    if (second == 30) {
      ASSERT_TRUE(ReloadConfiguration().succeeded);
      Sandbox::TheWorld().Leave(FString(Id(player)));
      Sandbox::TheWorld().Join(FString(Id(player)), FString("Player"));
    }
  }
  EXPECT_FALSE(std::filesystem::exists(session.ConfigFile().parent_path() /
                                       "bellwright_unwritten_opt_outs.json"));
  EXPECT_EQ(DiskFlushes() - at_load, 0L) << "flushes in the game's callbacks";
  const long before_unload = DiskFlushes();
  Unload();
  const long at_unload = DiskFlushes() - before_unload;
  EXPECT_GT(at_unload, 0) << "what the storage took is settled at the unload";
  std::cout << "disk flushes: 0 in 60 timer calls, " << kPlayers << " possessions and " << 60
            << " commands; " << at_unload << " at the unload\n";
  EXPECT_TRUE(host.Named("host_error").empty());
}

}  // namespace
}  // namespace Bellwright
