// Speed of the command paths on the sandbox host, in process: the custom chat
// command lookup, the reload of a large configuration, and a broadcast server
// message against the host's own loop over the same controllers.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <string>

#include "base/plugin_messaging.hpp"
#include "commands/send_handlers.hpp"
#include "custom_commands/chat_command_handler.hpp"
#include "custom_commands/live_commands.hpp"
#include "host/messaging.hpp"
#include "host_library/rcon_connection.hpp"
#include "host_library/world.hpp"
#include "plugin/load.hpp"
#include "plugin_session.hpp"

namespace {

using nlohmann::json;

std::string CommandName(int index) {
  return "/cmd" + std::to_string(index);
}

json ConfigWithCustomCommands(int count) {
  json commands = json::object();
  for (int index = 0; index < count; ++index) {
    commands[CommandName(index)] = {{"Message", "Answer " + std::to_string(index)},
                                    {"Type", "Server"},
                                    {"MessageColor", {255, 128, 0}},
                                    {"RequiredPermissionGroups", {"Default"}}};
  }
  return {{"Bellwright", {{"ServerMessageColor", {{"R", 0}, {"G", 170}, {"B", 255}}}}},
          {"CustomCommands", commands}};
}

// A fresh world with `count` connected players; returns the first one.
Sandbox::PlayerController* JoinPlayers(int count) {
  Sandbox::World& world = Sandbox::TheWorld();
  world.Reset();
  for (int index = 0; index < count; ++index) {
    const std::string id = "P" + std::to_string(index);
    world.Join(FString(std::string_view(id)), FString("Player"));
  }
  return world.FindConnected(FString("P0"));
}

// Lookup and answer of a typed custom command; the table size is the argument, so
// the figures show how the cost grows with it.
void BM_CustomChatCommand(benchmark::State& state) {
  const int table_size = static_cast<int>(state.range(0));
  const PluginSession session(ConfigWithCustomCommands(table_size).dump());
  AShooterPlayerController* player = JoinPlayers(1);
  FString typed(std::string_view(CommandName(table_size / 2) + " please"));
  for (auto _ : state) {
    Bellwright::HandleCustomChatCommand(player, &typed, false, 0);
  }
}
BENCHMARK(BM_CustomChatCommand)->RangeMultiplier(10)->Range(10, 10000);

// The same command followed by a million words: only the first word is read, so it
// costs what the short line does (limit: 1.3 times BM_CustomChatCommand/1000).
void BM_CustomChatCommandOnALongLine(benchmark::State& state) {
  const PluginSession session(ConfigWithCustomCommands(1000).dump());
  AShooterPlayerController* player = JoinPlayers(1);
  std::string line = CommandName(500);
  for (int word = 0; word < 1'000'000; ++word) {
    line += " w";
  }
  FString typed{std::string_view(line)};
  for (auto _ : state) {
    Bellwright::HandleCustomChatCommand(player, &typed, false, 0);
  }
}
BENCHMARK(BM_CustomChatCommandOnALongLine);

// The same command typed by an alias, with {PlayerName} and {PlayerCount} in its answer
// and a cooldown that never runs out within the benchmark: the first use is
// answered, every later one gets the cooldown line. Against BM_CustomChatCommand.
void BM_CustomChatCommandByAliasOnCooldown(benchmark::State& state) {
  const int table_size = static_cast<int>(state.range(0));
  json config = ConfigWithCustomCommands(table_size);
  json& command = config["CustomCommands"][CommandName(table_size / 2)];
  command["Message"] = "Answer for {PlayerName}, one of {PlayerCount}";
  command["Aliases"] = {"/alias"};
  command["CooldownSeconds"] = 1e9;
  const PluginSession session(config.dump());
  AShooterPlayerController* player = JoinPlayers(1);
  FString typed("/alias please");
  for (auto _ : state) {
    Bellwright::HandleCustomChatCommand(player, &typed, false, 0);
  }
}
BENCHMARK(BM_CustomChatCommandByAliasOnCooldown)->RangeMultiplier(10)->Range(10, 10000);

// The answer with both placeholders filled, without a cooldown.
void BM_CustomChatCommandWithPlaceholders(benchmark::State& state) {
  json config = ConfigWithCustomCommands(100);
  config["CustomCommands"][CommandName(50)]["Message"] =
      "Answer for {PlayerName}, one of {PlayerCount}";
  const PluginSession session(config.dump());
  AShooterPlayerController* player = JoinPlayers(100);
  FString typed(std::string_view(CommandName(50) + " please"));
  for (auto _ : state) {
    Bellwright::HandleCustomChatCommand(player, &typed, false, 0);
  }
}
BENCHMARK(BM_CustomChatCommandWithPlaceholders);

// The lookup alone, to show its logarithmic growth apart from the answer.
void BM_CustomCommandLookup(benchmark::State& state) {
  const int table_size = static_cast<int>(state.range(0));
  const PluginSession session(ConfigWithCustomCommands(table_size).dump());
  const FString typed(std::string_view(CommandName(table_size / 2)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bellwright::FindCustomCommand(typed));
  }
}
BENCHMARK(BM_CustomCommandLookup)->RangeMultiplier(10)->Range(10, 10000);

// What the sandbox host itself spends on one server message to one player (it turns
// every message into a transcript event): the floor under any answer.
void BM_HostServerMessageToOne(benchmark::State& state) {
  AShooterPlayerController* player = JoinPlayers(1);
  const FLinearColor color{1.0F, 0.2158605F, 0.0F, 1.0F};
  const FString text("Answer 500");
  for (auto _ : state) {
    Bellwright::PluginMessaging()->SendServerMessage(player, color, text);
  }
}
BENCHMARK(BM_HostServerMessageToOne);

// bw.reload of a file with 1,000 custom commands: read, parse, build the table,
// unregister the old commands and register the new ones.
void BM_ReloadThousandCustomCommands(benchmark::State& state) {
  const PluginSession session(ConfigWithCustomCommands(1000).dump(2));
  for (auto _ : state) {
    if (!Bellwright::ReloadConfiguration().succeeded) {
      state.SkipWithError("reload failed");
      break;
    }
  }
}
BENCHMARK(BM_ReloadThousandCustomCommands)->Unit(benchmark::kMillisecond);

constexpr int kBroadcastPlayers = 100;

// The host's own loop: the same prepared text handed to every controller.
void BM_BroadcastHostLoop(benchmark::State& state) {
  JoinPlayers(kBroadcastPlayers);
  const FLinearColor color{0.0F, 0.40197778F, 1.0F, 1.0F};
  const FString text("Server restart in 5 minutes");
  UWorld* world = Sandbox::TheWorld().GetWorld();
  for (auto _ : state) {
    const auto messaging = Bellwright::PluginMessaging();
    for (const auto& entry : world->PlayerControllerListField()) {
      messaging->SendServerMessage(static_cast<AShooterPlayerController*>(entry.Get()), color,
                                   text);
    }
  }
}
BENCHMARK(BM_BroadcastHostLoop);

// The whole bw.sendserver command over RCON: parsing, configured colour, delivery
// to everyone and the reply.
void BM_BroadcastServerCommand(benchmark::State& state) {
  const PluginSession session(ConfigWithCustomCommands(0).dump());
  JoinPlayers(kBroadcastPlayers);
  RCONPacket packet;
  packet.Id = 1;
  packet.Body = FString(R"(bw.sendserver 0 "Server restart in 5 minutes")");
  Sandbox::RconConnection connection;
  for (auto _ : state) {
    Bellwright::RconSendServer(&connection, &packet, nullptr);
  }
}
BENCHMARK(BM_BroadcastServerCommand);

}  // namespace

namespace {

// A custom command allowed to 100,000 groups, a third of them repeated in other
// letter case: removing the repeats once cost 72 s of game-thread time at load.
std::string ConfigWithManyGroups() {
  json groups = json::array();
  for (int index = 0; index < 100'000; ++index) {
    groups.push_back((index % 3 == 2 ? "GROUP" : "group") + std::to_string(index / 3 * 2));
  }
  return json{
      {"CustomCommands", {{"/vip", {{"Message", "hi"}, {"RequiredPermissionGroups", groups}}}}}}
      .dump();
}

// Load plus one reload of that file, the whole start-up included (limit 0.5 s).
void BM_LoadAndReloadHundredThousandGroups(benchmark::State& state) {
  const std::string config = ConfigWithManyGroups();
  for (auto _ : state) {
    const PluginSession session(config);
    if (!Bellwright::ReloadConfiguration().succeeded) {
      state.SkipWithError("reload failed");
      break;
    }
  }
}
BENCHMARK(BM_LoadAndReloadHundredThousandGroups)->Unit(benchmark::kMillisecond);

}  // namespace
