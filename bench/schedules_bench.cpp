// Schedules at the limits the checks accept: what one occurrence costs, what the
// game-state timer costs when every schedule has one due, and what a reload costs with
// the most lists and schedules, each with the most clock times and countdown steps.
// The targets: an occurrence far below a millisecond, a timer call below 1 ms, a reload
// below 50 ms.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <chrono>
#include <string>

#include "announcements/schedule_occurrences.hpp"
#include "base/schedule_fields.hpp"
#include "base/time_zone.hpp"
#include "host_library/clock.hpp"
#include "host_library/hooks.hpp"
#include "host_library/world.hpp"
#include "plugin/load.hpp"
#include "plugin_session.hpp"

namespace {

using std::chrono::seconds;

constexpr int kMinutesApart = 24 * 60 / static_cast<int>(Bellwright::kMostClockTimes);

// The most clock times, evenly over the day; with the steps 0 to 59 minutes every
// minute has an occurrence, on which several steps fall.
std::string ClockTimes() {
  std::string at;
  for (int index = 0; index < static_cast<int>(Bellwright::kMostClockTimes); ++index) {
    const int minute = index * kMinutesApart;
    at += fmt::format("{}\"{:02}:{:02}\"", index == 0 ? "" : ", ", minute / 60, minute % 60);
  }
  return at;
}

std::string EveryStep() {
  std::string before;
  for (int step = 0; step < static_cast<int>(Bellwright::kMostCountdownSteps); ++step) {
    before += fmt::format("{}{}", step == 0 ? "" : ", ", step);
  }
  return before;
}

// The most lists and schedules the checks accept, every schedule at its limits, in a
// zone whose clocks change.
std::string LargestConfig() {
  std::string config = R"({"Bellwright": {}, "Announcements": [)";
  for (std::size_t list = 0; list < Bellwright::kMostAnnouncementLists; ++list) {
    config += fmt::format(
        R"({}{{"Name": "List {}", "Interval": 86400, "Messages": [{{"MessageToSend": "List", "MessageType": "Server"}}]}})",
        list == 0 ? "" : ",", list);
  }
  config += R"(], "Schedules": [)";
  const std::string at = ClockTimes();
  const std::string before = EveryStep();
  for (std::size_t schedule = 0; schedule < Bellwright::kMostSchedules; ++schedule) {
    config += fmt::format(
        R"({}{{"Name": "Schedule {}", "At": [{}], "TimeZone": "Europe/Berlin", "Before": [{}],
          "MessageToSend": "{{Time}} in {{Minutes}}", "MessageType": "Server"}})",
        schedule == 0 ? "" : ",", schedule, at, before);
  }
  return config + "]}";
}

// One occurrence handed out by a schedule at the limits: the steps that fell on it move
// on to their next clock time.
void BM_OccurrenceAtTheLimits(benchmark::State& state) {
  Bellwright::ClockTimes times;
  for (int index = 0; index < static_cast<int>(Bellwright::kMostClockTimes); ++index) {
    times.at_minutes.push_back(index * kMinutesApart);
  }
  for (int step = 0; step < state.range(0); ++step) {
    times.before_minutes.push_back(step);
  }
  times.on_day.fill(true);
  times.zone = Bellwright::FindTimeZone("Europe/Berlin");
  // Across the night the clocks go forward.
  const auto start = std::chrono::sys_seconds(
      std::chrono::sys_days(std::chrono::year(2026) / std::chrono::March / 28));
  Bellwright::OccurrenceCursor cursor(times, start);
  for (auto _ : state) {
    const auto next = cursor.Next();
    if (!next) {
      state.SkipWithError("no occurrence");
      break;
    }
    benchmark::DoNotOptimize(cursor.TakeDue(next->instant));
  }
}
BENCHMARK(BM_OccurrenceAtTheLimits)->ArgName("steps")->Arg(1)->Arg(5)->Arg(60);

// The game-state timer a minute on, when every schedule of the largest configuration
// has an occurrence due (no player connected: what is measured is the schedules, not
// the deliveries).
void BM_TimerCallEveryScheduleDue(benchmark::State& state) {
  Sandbox::TheClock().UseVirtual();
  Sandbox::TheWorld().Reset();
  const PluginSession session(LargestConfig());
  AGameState* game_state = Sandbox::TheWorld().GetGameState();
  Sandbox::TheGameFunctions().Call<AGameState*>(Sandbox::kDefaultTimer, game_state);
  for (auto _ : state) {
    state.PauseTiming();
    Sandbox::TheClock().Advance(seconds(60));
    state.ResumeTiming();
    Sandbox::TheGameFunctions().Call<AGameState*>(Sandbox::kDefaultTimer, game_state);
  }
  Sandbox::TheWorld().Reset();
}
BENCHMARK(BM_TimerCallEveryScheduleDue)->Unit(benchmark::kMicrosecond);

// bw.reload of the largest configuration: the file read, checked and put in use, every
// schedule's next occurrence found.
void BM_ReloadLargestSchedules(benchmark::State& state) {
  Sandbox::TheClock().UseVirtual();
  const PluginSession session(LargestConfig());
  for (auto _ : state) {
    if (!Bellwright::ReloadConfiguration().succeeded) {
      state.SkipWithError("the reload failed");
      break;
    }
  }
}
BENCHMARK(BM_ReloadLargestSchedules)->Unit(benchmark::kMillisecond);

}  // namespace
