#include <gtest/gtest.h>

#include <chrono>

#include "config/config.hpp"
#include "custom_commands/live_commands.hpp"
#include "host_library/clock.hpp"
#include "host_library/commands.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/hooks.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "in_process_host.hpp"
#include "plugin_session.hpp"

namespace Bellwright {
namespace {

// Welcome on, a timed message every minute and one custom command.
constexpr const char* kConfig = R"({
  "Bellwright": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server"}},
  "TimedMessages": {"Enabled": true, "Interval": 60,
                    "Messages": [{"MessageToSend": "one", "MessageType": "Server"},
                                 {"MessageToSend": "two", "MessageType": "Server"}]},
  "CustomCommands": {"/rules": {"Message": "Be kind", "Type": "Server"}}})";

class LifecycleTest : public ::testing::Test {
 protected:
  LifecycleTest() { Sandbox::TheClock().UseVirtual(); }
  ~LifecycleTest() override {
    Sandbox::TheDelayedTasks().Abandon();
    Sandbox::TheWorld().Reset();
  }

  static void Wait(int seconds) {
    for (int step = 0; step < seconds; ++step) {
      Sandbox::StepOneSecond();
    }
  }
  [[nodiscard]] int Count(const char* event, const char* text) const {
    int count = 0;
    for (const auto& found : host_.Named(event)) {
      count += found["text"] == text ? 1 : 0;
    }
    return count;
  }

  InProcessHost host_;
};

TEST_F(LifecycleTest, UnloadLeavesNothingRegisteredAndNoStateBehind) {
  {
    const PluginSession session(kConfig);
    ASSERT_NE(FindCustomCommand(FString("/rules")), nullptr);
    Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
  }
  EXPECT_TRUE(Sandbox::TheCommandRegistry().ConsoleNames().empty());
  EXPECT_TRUE(Sandbox::TheCommandRegistry().RconNames().empty());
  EXPECT_TRUE(Sandbox::TheCommandRegistry().ChatNames().empty());
  EXPECT_TRUE(Sandbox::TheGameFunctions().DetouredNames().empty());
  EXPECT_EQ(FindCustomCommand(FString("/rules")), nullptr);
  EXPECT_TRUE(ConfigDocument().is_null());
}

// A second load in the same process behaves as the first: a greeting scheduled
// before the unload does not reach the new start, the player greeted before is
// greeted again, and the first timer call sends a timed message at once.
TEST_F(LifecycleTest, ALoadAfterAnUnloadStartsAfresh) {
  Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
  {
    const PluginSession first(kConfig);
    Sandbox::TheWorld().Leave(FString("A1"));
    Sandbox::TheWorld().Join(FString("A1"), FString("Alice"));
    Wait(6);
    ASSERT_EQ(Count("server_message", "Welcome to the server Alice"), 1);
    Sandbox::TheWorld().Join(FString("B2"), FString("Bob"));  // greeting still waiting
  }
  host_.events.clear();
  const PluginSession second(kConfig);
  Sandbox::TheWorld().Possess(FString("A1"), false, false);
  Wait(6);
  EXPECT_EQ(Count("server_message", "Welcome to the server Alice"), 1);
  EXPECT_EQ(Count("server_message", "Welcome to the server Bob"), 0);
  EXPECT_EQ(Count("server_message", "one") + Count("server_message", "two"), 2)
      << "one timed message to each of the two players at the first timer call";
  EXPECT_EQ(Sandbox::TheCommandRegistry().ChatNames().size(), 1U);
}

}  // namespace
}  // namespace Bellwright
