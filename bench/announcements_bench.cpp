// Announcement lists and schedules ride on the game's timer: a call in which none is
// due must cost next to nothing however many are configured (the next occurrence is
// kept, never worked out again each second), and a reload must not grow noticeably.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <string>

#include "host_library/clock.hpp"
#include "host_library/hooks.hpp"
#include "host_library/world.hpp"
#include "plugin/load.hpp"
#include "plugin_session.hpp"

namespace {

constexpr int kLists = 20;
constexpr int kSchedules = 50;

// Timed messages on, as on a typical server; with `announcements`, 20 lists an hour
// apart and 50 schedules with seven countdown steps each, none due in the first hours
// of the virtual clock, which the benchmark never moves.
std::string Config(bool announcements) {
  std::string config = R"({"Bellwright": {},
    "TimedMessages": {"Enabled": true, "Interval": 86400, "Messages": [
      {"MessageToSend": "Timed", "MessageType": "Server", "MessageColour": {"R": 255}}]})";
  if (announcements) {
    config += R"(, "Announcements": [)";
    for (int list = 0; list < kLists; ++list) {
      config += fmt::format(
          R"({}{{"Name": "List {}", "Interval": 3600, "Order": "Sequential", "Messages": [
            {{"MessageToSend": "First of {}", "MessageType": "Server", "MessageColour": {{"G": 255}}}},
            {{"MessageToSend": "Second of {}", "MessageType": "Chat", "MessageColour": {{"B": 255}}}}]}})",
          list == 0 ? "" : ",", list, list, list);
    }
    config += R"(], "Schedules": [)";
    for (int schedule = 0; schedule < kSchedules; ++schedule) {
      config += fmt::format(
          R"({}{{"Name": "Schedule {}", "At": ["12:00", "18:30"], "Days": ["Mon", "Wed", "Fri", "Sun"],
            "TimeZone": "{}", "Before": [60, 30, 15, 10, 5, 1, 0],
            "MessageToSend": "Restart at {{Time}} in {{Minutes}} minutes", "MessageType": "Server",
            "MessageColour": {{"R": 255, "G": 64, "B": 64}}}})",
          schedule == 0 ? "" : ",", schedule,
          schedule % 2 == 0 ? "Europe/Berlin" : "America/New_York");
    }
    config += "]";
  }
  return config + "}";
}

void StartAtScriptEpoch() {
  Sandbox::TheClock().UseVirtual();
  Sandbox::TheWorld().Reset();
}

// The game-state timer through the host's dispatch, with a player connected and
// timed messages sent once already, so that nothing is due. announcements:0 is the
// same server without lists and schedules; the difference is their cost.
void BM_GameStateTimerNothingDue(benchmark::State& state) {
  StartAtScriptEpoch();
  const PluginSession session(Config(state.range(0) != 0));
  Sandbox::TheWorld().Join(FString("76561198000000001"), FString("Alice"));
  AGameState* game_state = Sandbox::TheWorld().GetGameState();
  Sandbox::TheGameFunctions().Call<AGameState*>(Sandbox::kDefaultTimer, game_state);
  for (auto _ : state) {
    Sandbox::TheGameFunctions().Call<AGameState*>(Sandbox::kDefaultTimer, game_state);
  }
  Sandbox::TheWorld().Reset();
}
BENCHMARK(BM_GameStateTimerNothingDue)->ArgName("announcements")->Arg(0)->Arg(1);

// bw.reload's work: the file read, checked and put in use, the owners reconfigured.
void BM_ReloadWithAnnouncements(benchmark::State& state) {
  StartAtScriptEpoch();
  const PluginSession session(Config(state.range(0) != 0));
  for (auto _ : state) {
    if (!Bellwright::ReloadConfiguration().succeeded) {
      state.SkipWithError("the reload failed");
      break;
    }
  }
}
BENCHMARK(BM_ReloadWithAnnouncements)
    ->ArgName("announcements")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
