#include <gtest/gtest.h>

#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host_library/commands.hpp"
#include "host_library/hooks.hpp"
#include "host_library/world.hpp"

namespace {

std::vector<std::u16string> Wide(const std::vector<FString>& names) {
  std::vector<std::u16string> wide;
  for (const FString& name : names) {
    wide.push_back(name.Wide());
  }
  return wide;
}

TEST(SandboxCommandRegistry, MatchesFirstWordIgnoringCaseInRegistrationOrder) {
  Sandbox::CommandRegistry registry;
  std::vector<std::string> calls;
  registry.AddConsoleCommand(FString("bw.one"), [&](APlayerController*, FString* line, bool) {
    calls.push_back("one:" + std::string(line->Wide().begin(), line->Wide().end()));
  });
  registry.AddConsoleCommand(FString("bw.two"),
                             [&](APlayerController*, FString*, bool) { calls.push_back("two"); });
  registry.AddConsoleCommand(FString("BW.ONE"),
                             [&](APlayerController*, FString*, bool) { calls.push_back("dup"); });

  EXPECT_EQ(Wide(registry.ConsoleNames()),
            (std::vector<std::u16string>{u"bw.one", u"bw.two", u"BW.ONE"}));
  EXPECT_TRUE(registry.RunConsole(nullptr, FString("  Bw.One  x y")));
  EXPECT_TRUE(registry.RunConsole(nullptr, FString("bw.TWO")));
  EXPECT_FALSE(registry.RunConsole(nullptr, FString("bw.one2")));
  EXPECT_FALSE(registry.RunConsole(nullptr, FString("")));
  EXPECT_EQ(calls, (std::vector<std::string>{"one:  Bw.One  x y", "two"}));

  // Removal takes the first registration of the name; the duplicate then answers.
  EXPECT_TRUE(registry.RemoveConsoleCommand(FString("BW.one")));
  EXPECT_TRUE(registry.RunConsole(nullptr, FString("bw.one")));
  EXPECT_EQ(calls.back(), "dup");
  EXPECT_TRUE(registry.RemoveConsoleCommand(FString("bw.one")));
  EXPECT_FALSE(registry.RemoveConsoleCommand(FString("bw.one")));
  EXPECT_FALSE(registry.RemoveRconCommand(FString("bw.two")));
  EXPECT_EQ(Wide(registry.ConsoleNames()), (std::vector<std::u16string>{u"bw.two"}));
}

TEST(SandboxCommandRegistry, CommandMayRemoveItselfWhileRunning) {
  Sandbox::CommandRegistry registry;
  int runs = 0;
  registry.AddChatCommand(FString("/bye"), [&](AShooterPlayerController*, FString*, int, int) {
    registry.RemoveChatCommand(FString("/bye"));
    ++runs;
  });
  FString message("/bye now");
  EXPECT_TRUE(registry.RunChat(nullptr, message, 0, 0));
  EXPECT_FALSE(registry.RunChat(nullptr, message, 0, 0));
  EXPECT_EQ(runs, 1);
}

TEST(SandboxCommandRegistry, AbandonAllEmptiesEveryList) {
  Sandbox::CommandRegistry registry;
  registry.AddConsoleCommand(FString("c"), [](APlayerController*, FString*, bool) {});
  registry.AddRconCommand(FString("r"), [](RCONClientConnection*, RCONPacket*, UWorld*) {});
  registry.AddChatCommand(FString("h"), [](AShooterPlayerController*, FString*, int, int) {});
  EXPECT_EQ(registry.AbandonAll(),
            (std::vector<std::string>{"console command c", "rcon command r", "chat command h"}));
  EXPECT_TRUE(registry.ConsoleNames().empty());
  EXPECT_TRUE(registry.RconNames().empty());
  EXPECT_TRUE(registry.ChatNames().empty());
}

int own_calls = 0;
int detour_calls = 0;
void (*trampoline)(int) = nullptr;
void OwnFunction(int /*value*/) {
  ++own_calls;
}
void Detour(int value) {
  ++detour_calls;
  trampoline(value);
}
void OtherDetour(int /*value*/) {}

TEST(SandboxHooks, DetourRoutesCallsAndTrampolineReachesTheGame) {
  Sandbox::GameFunctions functions;
  functions.Define("Game.Function(int)", reinterpret_cast<void*>(&OwnFunction));
  own_calls = detour_calls = 0;

  EXPECT_FALSE(functions.SetHook("Game.Missing()", &Detour, &trampoline));
  ASSERT_TRUE(functions.SetHook("Game.Function(int)", &Detour, &trampoline));
  EXPECT_FALSE(functions.SetHook("Game.Function(int)", &OtherDetour, &trampoline));
  EXPECT_EQ(functions.DetouredNames(), std::vector<std::string>{"Game.Function(int)"});
  functions.Call<int>("Game.Function(int)", 1);
  EXPECT_EQ(detour_calls, 1);
  EXPECT_EQ(own_calls, 1);

  // Removing the wrong detour or an unknown hook is harmless and changes nothing.
  EXPECT_FALSE(functions.DisableHook("Game.Function(int)", &OtherDetour));
  EXPECT_FALSE(functions.DisableHook("Game.Missing()", &Detour));
  EXPECT_TRUE(functions.DisableHook("Game.Function(int)", &Detour));
  EXPECT_TRUE(functions.DetouredNames().empty());
  functions.Call<int>("Game.Function(int)", 2);
  EXPECT_EQ(detour_calls, 1);
  EXPECT_EQ(own_calls, 2);
}

TEST(SandboxWorld, FindPlayerTakesTheFirstConnectedInListOrderIgnoringCase) {
  Sandbox::World& world = Sandbox::TheWorld();
  world.Reset();
  ASSERT_EQ(world.Join(FString("abc"), FString("First")), "");
  ASSERT_EQ(world.Join(FString("ABC"), FString("Second")), "");
  EXPECT_NE(world.Join(FString("abc"), FString("Again")), "");

  AShooterPlayerController* found = AsaApi::GetApiUtils().FindPlayerFromUniqueNetId(FString("Abc"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->GetPlayerCharacterName().Wide(), u"First");

  ASSERT_EQ(world.Leave(FString("abc")), "");
  found = AsaApi::GetApiUtils().FindPlayerFromUniqueNetId(FString("aBC"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->GetPlayerCharacterName().Wide(), u"Second");

  // The departed player's entry stays, resolving to null, until the game-state timer.
  auto& list = world.GetWorld()->PlayerControllerListField();
  ASSERT_EQ(list.Num(), 2);
  EXPECT_EQ(list[0].Get(), nullptr);
  world.RunGameStateTimer();
  ASSERT_EQ(list.Num(), 1);
  EXPECT_NE(list[0].Get(), nullptr);
  world.Reset();
}

}  // namespace
