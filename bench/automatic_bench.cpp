// The automatic messages run inside the game's own timer on a busy server: the idle
// tick must cost next to nothing, and greeting or filtering a crowd must cost little
// beyond the delivery itself.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "announcements/message_turns.hpp"
#include "base/byte_color.hpp"
#include "config/config.hpp"
#include "delivery/delivery.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host_library/clock.hpp"
#include "host_library/hooks.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "opt_out/opt_out_command.hpp"
#include "plugin/game_hooks.hpp"
#include "plugin/load.hpp"
#include "plugin_session.hpp"
#include "welcome/welcome.hpp"

namespace {

// One turn of the live timed messages, whatever their interval.
void SendTimedTurn() {
  static int last_index = -1;
  Bellwright::SendListTurn(Bellwright::LiveSettings().announcements.timed.list, last_index,
                           Bellwright::OptedOutPlayers::kLeftOut);
}

using nlohmann::json;

constexpr int kCrowd = 100;

// A world of `count` connected players with three permission groups each, the
// plug-in loaded over it with `config` as the configuration.
class CrowdedServer {
 public:
  CrowdedServer(int count, const char* config) : session_(Prepared(config)) {
    for (int index = 0; index < count; ++index) {
      const FString id(fmt::format("7656119800000{:04}", index));
      Sandbox::TheWorld().SetGroups(id,
                                    {FString("Players"), FString("Builders"), FString("Traders")});
      Sandbox::TheWorld().Join(id, FString(fmt::format("Player{:03}", index)));
      players_.push_back(Sandbox::TheWorld().FindConnected(id));
    }
    RunDelayedTasks();
    Bellwright::SendWelcomeMessages();
  }
  CrowdedServer(const CrowdedServer&) = delete;
  CrowdedServer& operator=(const CrowdedServer&) = delete;
  ~CrowdedServer() {
    Sandbox::TheDelayedTasks().Abandon();
    Sandbox::TheWorld().Reset();
  }

  [[nodiscard]] const std::vector<Sandbox::PlayerController*>& Players() const { return players_; }
  [[nodiscard]] std::filesystem::path StorageFile() const {
    return session_.ConfigFile().parent_path() / "bellwright.sqlite";
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
  static const char* Prepared(const char* config) {
    Sandbox::TheClock().UseVirtual();
    Sandbox::TheWorld().Reset();
    return config;
  }

  static void RunDelayedTasks() {
    Sandbox::TheClock().Advance(std::chrono::seconds(5));
    Sandbox::TheDelayedTasks().RunFrame();
  }

  PluginSession session_;
  std::vector<Sandbox::PlayerController*> players_;
};

// Reported per player of the crowd, in nanoseconds.
benchmark::Counter PerPlayerNanoseconds() {
  return benchmark::Counter(
      static_cast<double>(kCrowd) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

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

// What the game calls every second, through the host's dispatch, with timed messages
// off and nobody waiting for a greeting, on an empty and on a crowded server.
// hooked:0 is the game's own function alone; hooked:1 goes through the plug-in's
// guarded detour. The difference is the plug-in's cost.
void BM_GameStateTimerIdle(benchmark::State& state) {
  const CrowdedServer server(static_cast<int>(state.range(0)), kIdleConfig);
  if (state.range(1) == 0) {
    Bellwright::RemoveHooks();
  }
  AGameState* game_state = Sandbox::TheWorld().GetGameState();
  for (auto _ : state) {
    Sandbox::TheGameFunctions().Call<AGameState*>(Sandbox::kDefaultTimer, game_state);
  }
}
BENCHMARK(BM_GameStateTimerIdle)
    ->ArgNames({"players", "hooked"})
    ->ArgsProduct({{0, kCrowd}, {0, 1}});

// The host's find-player operation for each of the crowd: the welcome pass makes one
// per greeting, and its cost is the host's, not the plug-in's.
void BM_HostFindsEachPlayer(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kWelcomeConfig);
  for (auto _ : state) {
    for (auto* player : server.Players()) {
      benchmark::DoNotOptimize(
          AsaApi::GetApiUtils().FindPlayerFromUniqueNetId(player->unique_net_id));
    }
  }
  state.counters["per_player_ns"] = PerPlayerNanoseconds();
}
BENCHMARK(BM_HostFindsEachPlayer)->Unit(benchmark::kMicrosecond);

// The reference: one chat line to each player, handed straight to the delivery.
void BM_DeliverChatToEachPlayer(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kWelcomeConfig);
  Bellwright::MessageStyle style;
  style.color = Bellwright::MakeByteColor(0, 200, 120);
  style.sender = FString("Bellwright");
  const FString text("Welcome to the server Player000");
  for (auto _ : state) {
    for (auto* player : server.Players()) {
      Bellwright::Deliver(Bellwright::MessageKind::kChat, text, style,
                          Bellwright::Recipient::Player(player));
    }
  }
  state.counters["per_player_ns"] = PerPlayerNanoseconds();
}
BENCHMARK(BM_DeliverChatToEachPlayer)->Unit(benchmark::kMicrosecond);

// One pass greeting the whole crowd, each round.
void MeasureWelcomePasses(benchmark::State& state, const char* config) {
  const CrowdedServer server(kCrowd, config);
  for (auto _ : state) {
    state.PauseTiming();
    server.QueueEveryGreeting();
    state.ResumeTiming();
    Bellwright::SendWelcomeMessages();
  }
  state.counters["per_player_ns"] = PerPlayerNanoseconds();
}

void BM_WelcomePassOfACrowd(benchmark::State& state) {
  MeasureWelcomePasses(state, kWelcomeConfig);
}
BENCHMARK(BM_WelcomePassOfACrowd)->Unit(benchmark::kMicrosecond);

// The pass with a text taking the server's name and the count with its words, joined
// from pieces (formatter:0) or, once a field has an option ("{0:<1}", which changes
// nothing), built by the formatter (formatter:1). The pass counts the players once.
constexpr const char* kCountWordsWelcomeConfigs[] = {
    R"({"Bellwright": {"WelcomeMessage": {"EnableWelcomeMessage": true,
      "WelcomeMessageType": "Chat", "WelcomeMessageColour": {"R": 0, "G": 200, "B": 120},
      "Message": "{0}, welcome to {ServerName}! {PlayerCount|player is|players are} online."}}})",
    R"({"Bellwright": {"WelcomeMessage": {"EnableWelcomeMessage": true,
      "WelcomeMessageType": "Chat", "WelcomeMessageColour": {"R": 0, "G": 200, "B": 120},
      "Message": "{0:<1}, welcome to {ServerName}! {PlayerCount|player is|players are} online."}}})"};

void BM_WelcomePassWithCountWordsOfACrowd(benchmark::State& state) {
  MeasureWelcomePasses(state, kCountWordsWelcomeConfigs[state.range(0)]);
}
BENCHMARK(BM_WelcomePassWithCountWordsOfACrowd)
    ->ArgName("formatter")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// The same pass with a first-join welcome, its storage SQLite beside the configuration:
// each greeting asks what the storage answered at the possession and records the player,
// and the pass writes the records before it returns (arg 1: every player is new, a fresh
// file each round; arg 0: every player was greeted before).
constexpr const char* kFirstJoinConfig = R"({
  "Bellwright": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Chat",
    "WelcomeMessageColour": {"R": 0, "G": 200, "B": 120},
    "FirstJoinMessage": "First time here {0}"}}
})";

void BM_FirstJoinWelcomePassOfACrowd(benchmark::State& state) {
  const bool everyone_new = state.range(0) == 1;
  const CrowdedServer server(kCrowd, kFirstJoinConfig);
  for (auto _ : state) {
    state.PauseTiming();
    if (everyone_new) {
      Bellwright::Unload();
      for (const char* suffix : {"", "-wal", "-shm"}) {
        std::filesystem::remove(server.StorageFile() += suffix);
      }
      Bellwright::Load();
    }
    server.QueueEveryGreeting();
    state.ResumeTiming();
    Bellwright::SendWelcomeMessages();
  }
  state.counters["per_player_ns"] = PerPlayerNanoseconds();
}
BENCHMARK(BM_FirstJoinWelcomePassOfACrowd)
    ->ArgName("new")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// A timed message naming {PlayerName} goes to each player with their own name: the
// whole turn, against BM_DeliverChatToEachPlayer, the delivery calls alone for a text
// of the same length (limit 1.3 times).
constexpr const char* kPlayerNameTimedConfig = R"({
  "TimedMessages": {"Enabled": true, "Interval": 0, "Order": "Sequential", "Messages": [
    {"MessageToSend": "Welcome to the server {PlayerName}", "MessageType": "Chat",
     "Sender": "Bellwright", "MessageColour": {"R": 0, "G": 200, "B": 120}}]}
})";

void BM_TimedMessageWithPlayerNameToACrowd(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kPlayerNameTimedConfig);
  for (auto _ : state) {
    SendTimedTurn();
  }
  state.counters["per_player_ns"] = PerPlayerNanoseconds();
}
BENCHMARK(BM_TimedMessageWithPlayerNameToACrowd)->Unit(benchmark::kMicrosecond);

void BM_FilteredTimedMessageToACrowd(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kFilteredTimedConfig);
  for (auto _ : state) {
    SendTimedTurn();
  }
  state.counters["per_player_ns"] = PerPlayerNanoseconds();
}
BENCHMARK(BM_FilteredTimedMessageToACrowd)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// A welcome text asking for the widest field there is: the greeting once built a
// line of that many characters for every player (limit 1 ms a greeting).
constexpr const char* kWidestFieldConfig = R"({
  "Bellwright": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Chat",
    "Message": "Welcome {0:>2147483647}"}}
})";

void BM_GreetingWithTheWidestField(benchmark::State& state) {
  const CrowdedServer server(1, kWidestFieldConfig);
  for (auto _ : state) {
    state.PauseTiming();
    server.QueueEveryGreeting();
    state.ResumeTiming();
    Bellwright::SendWelcomeMessages();
  }
}
BENCHMARK(BM_GreetingWithTheWidestField)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// Players' opt-out of timed messages, kept in SQLite in the session's folder.
constexpr const char* kOptOutConfig = R"({
  "TimedMessages": {"Enabled": true, "Interval": 0, "OptOutCommand": "/ads",
    "Messages": [{"MessageToSend": "Server restart in 5 minutes", "MessageType": "Server",
                  "MessageColour": {"R": 255, "G": 128, "B": 0}}]}
})";

constexpr int kOptedOut = 10;

// The command a player types to turn timed messages off or on: the toggle in memory
// (written behind by the storage's worker) and the green line that answers it
// (limit 20 us).
void BM_OptOutCommand(benchmark::State& state) {
  const CrowdedServer server(1, kOptOutConfig);
  FString typed("/ads");
  for (auto _ : state) {
    Bellwright::HandleOptOutCommand(server.Players().front(), &typed, false, 0);
  }
}
BENCHMARK(BM_OptOutCommand)->Unit(benchmark::kMicrosecond);

// The reference: the server message handed to each of the 90 players who still
// receive timed messages.
void BM_DeliverServerMessageToNinety(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kOptOutConfig);
  Bellwright::MessageStyle style;
  style.color = Bellwright::MakeByteColor(255, 128, 0);
  const FString text("Server restart in 5 minutes");
  for (auto _ : state) {
    for (std::size_t index = 0; index < server.Players().size(); ++index) {
      if (index % (kCrowd / kOptedOut) != 0) {
        Bellwright::Deliver(Bellwright::MessageKind::kServer, text, style,
                            Bellwright::Recipient::Player(server.Players()[index]));
      }
    }
  }
}
BENCHMARK(BM_DeliverServerMessageToNinety)->Unit(benchmark::kMicrosecond);

// A timed message to the crowd of 100 of whom 10 turned timed messages off (limit 1.3
// times the reference above).
void BM_TimedMessageWithTenOptedOut(benchmark::State& state) {
  const CrowdedServer server(kCrowd, kOptOutConfig);
  FString typed("/ads");
  for (std::size_t index = 0; index < server.Players().size(); index += kCrowd / kOptedOut) {
    Bellwright::HandleOptOutCommand(server.Players()[index], &typed, false, 0);
  }
  for (auto _ : state) {
    SendTimedTurn();
  }
}
BENCHMARK(BM_TimedMessageWithTenOptedOut)->Unit(benchmark::kMicrosecond);

}  // namespace
