// The automatic messages run inside the game's own timer on a busy server: the idle
// tick must cost next to nothing, and greeting or filtering a crowd must cost little
// beyond the delivery itself.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "automatic/hooks.hpp"
#include "automatic/player_tracking.hpp"
#include "automatic/timed_messages.hpp"
#include "automatic/welcome_message.hpp"
#include "config/config.hpp"
#include "delivery/byte_color.hpp"
#include "delivery/delivery.hpp"
#include "host/clock.hpp"
#include "host/delayed_tasks.hpp"
#include "host/world.hpp"
#include "plugin/host_boundary.hpp"

namespace {

using nlohmann::json;

constexpr int kCrowd = 100;

// A world of `count` connected players with three permission groups each, the
// plug-in's hooks installed over it and `config` as the configuration.
class CrowdedServer {
 public:
  CrowdedServer(int count, const char* config) {
    Sandbox::TheClock().UseVirtual();
    Sandbox::TheWorld().Reset();
    Bellwright::ReplaceConfigDocument(json::parse(config));
    Bellwright::InstallHooks();
    for (int index = 0; index < count; ++index) {
      const FString id(fmt::format("7656119800000{:04}", index));
      Sandbox::TheWorld().SetGroups(id, {FString("Players"), FString("Builders"),
                                         FString("Traders")});
      Sandbox::TheWorld().Join(id, FString(fmt::format("Player{:03}", index)));
      players_.push_back(Sandbox::TheWorld().FindConnected(id));
    }
    RunDelayedTasks();
    Bellwright::SendWelcomeMessages();
  }
  CrowdedServer(const CrowdedServer&) = delete;
  CrowdedServer& operator=(const CrowdedServer&) = delete;
  ~CrowdedServer() {
    Bellwright::RemoveHooks();
    Sandbox::TheDelayedTasks().Abandon();
    Sandbox::TheWorld().Reset();
  }

  [[nodiscard]] const std::vector<Sandbox::PlayerController*>& Players() const {
    return players_;
  }

  // Every player queued for greeting, as after a crowd joined in the same second.
  void QueueEveryGreeting() const {
    for (auto* player : players_) {
      Bellwright::OnPlayerLogout(player);
      Bellwright::OnCharacterPossessed(player->character);
    }
    RunDelayedTasks();
  }

 private:
  static void RunDelayedTasks() {
    Sandbox::TheClock().Advance(std::chrono::seconds(5));
    Sandbox::TheDelayedTasks().RunDue();
  }

  std::vector<Sandbox::PlayerController*> players_;
};

constexpr const char* kIdleConfig = R"({
  "Bellwright": {"WelcomeMessage": {"EnableWelcomeMessage": true}},
  "TimedMessages": {"Enabled": false, "Interval": 60, "Messages": [{"MessageToSend": "x"}]}
})";

constexpr const char* kWelcomeConfig = R"({
  "Bellwright": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Chat",
    "WelcomeMessageColour": {"R": 0, "G": 200, "B": 120}}}
})";

constexpr const char* kFilteredTimedConfig = R"({
  "TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [
    {"MessageToSend": "Welcome to the server Player000", "MessageType": "Chat",
     "Sender": "Bellwright", "MessageColour": {"R": 0, "G": 200, "B": 120},
     "Only_Send_To_Permission_Groups": ["Traders"]}]}
})";

// What the host calls every second: the guarded detour, with timed messages off and
// nobody waiting for a greeting.
void BM_GameStateTimerIdle(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kIdleConfig);
  AGameState* game_state = Sandbox::TheWorld().GetGameState();
  for (auto _ : state) {
    Bellwright::Guarded<Bellwright::Hook_AGameState_DefaultTimer>::Call(game_state);
  }
}
BENCHMARK(BM_GameStateTimerIdle);

// The reference: one chat line to each player, handed straight to the delivery.
void BM_DeliverChatToEachPlayer(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kWelcomeConfig);
  const Bellwright::ByteColor color = Bellwright::MakeByteColor(0, 200, 120);
  for (auto _ : state) {
    for (auto* player : server.Players()) {
      Bellwright::DeliverChatMessage(player, FString("Welcome to the server Player000"),
                                     FString("Bellwright"), color, false);
    }
  }
  state.counters["per_player_ns"] = benchmark::Counter(
      static_cast<double>(kCrowd) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                              benchmark::Counter::kInvert);
}
BENCHMARK(BM_DeliverChatToEachPlayer)->Unit(benchmark::kMicrosecond);

void BM_WelcomePassOfACrowd(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kWelcomeConfig);
  for (auto _ : state) {
    state.PauseTiming();
    server.QueueEveryGreeting();
    state.ResumeTiming();
    Bellwright::SendWelcomeMessages();
  }
  state.counters["per_player_ns"] = benchmark::Counter(
      static_cast<double>(kCrowd) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                              benchmark::Counter::kInvert);
}
BENCHMARK(BM_WelcomePassOfACrowd)->Unit(benchmark::kMicrosecond);

void BM_FilteredTimedMessageToACrowd(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kFilteredTimedConfig);
  for (auto _ : state) {
    Bellwright::SendTimedMessage();
  }
  state.counters["per_player_ns"] = benchmark::Counter(
      static_cast<double>(kCrowd) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                              benchmark::Counter::kInvert);
}
BENCHMARK(BM_FilteredTimedMessageToACrowd)->Unit(benchmark::kMicrosecond);

}  // namespace
