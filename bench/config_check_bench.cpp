// Speed of the configuration checks on a file with 1,000 custom commands, alone and
// together with the reload they will run beside on the game thread (budget: 15 ms).
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <nlohmann/json.hpp>
#include <string>

#include "config/config_text.hpp"
#include "plugin/load.hpp"
#include "plugin_session.hpp"

namespace {

using nlohmann::json;

constexpr int kCommands = 1000;

// Lean (0): the commands of the reload benchmark (message, type, colour, groups).
// Rich (1): commands that use every key but the newer ones, each leading to the next
// in one long loop, with a welcome message and timed messages beside. Newer keys (2):
// the rich file, each command with a player field, two aliases, a cooldown and its
// chain through an alias, with group welcomes, a welcome delay, a cooldown line and
// timed messages in order for a minimum of players. (The opt-out command is left out:
// it would open a database in the benchmark's folder.)
enum class Shape { kLean, kRich, kNewKeys };

json Command(int index, Shape shape) {
  json command = {{"Message", "Answer " + std::to_string(index) + " {{braces}}"},
                  {"Type", shape == Shape::kLean ? "Server"
                           : index % 3 == 0      ? "Notification"
                                                 : "Chat"},
                  {"MessageColor", {255, 128, index % 256}},
                  {"RequiredPermissionGroups", {"Default"}}};
  if (shape != Shape::kLean) {
    command.update({{"Sender", "Helper"},
                    {"DisplayTime", 8.0},
                    {"DisplayScale", 1.0},
                    {"Icon_BP", "/Game/Icons/Star"},
                    {"Command_To_Execute", "/cmd" + std::to_string((index + 1) % kCommands)}});
  }
  if (shape == Shape::kNewKeys) {
    command.update({{"Message", "Answer " + std::to_string(index) + " for {PlayerName}"},
                    {"Aliases", {"/a" + std::to_string(index), "/b" + std::to_string(index)}},
                    {"CooldownSeconds", 30},
                    {"Command_To_Execute", "/a" + std::to_string((index + 1) % kCommands)}});
  }
  return command;
}

std::string ConfigText(Shape shape) {
  json commands = json::object();
  for (int index = 0; index < kCommands; ++index) {
    commands["/cmd" + std::to_string(index)] = Command(index, shape);
  }
  json messages = json::array();
  for (int index = 0; index < 20; ++index) {
    messages.push_back({{"MessageToSend", "Announcement " + std::to_string(index)},
                        {"MessageType", "Server"},
                        {"MessageColour", {{"R", 255}, {"G", 200}, {"B", 0}}}});
  }
  json document = {{"Bellwright", {{"ServerMessageColor", {{"R", 0}, {"G", 170}, {"B", 255}}}}},
                   {"CustomCommands", commands}};
  if (shape != Shape::kLean) {
    document["Bellwright"]["WelcomeMessage"] = {
        {"EnableWelcomeMessage", true},
        {"Message", "Welcome to the server {0}"},
        {"WelcomeMessageColour", {{"R", 0}, {"G", 200}, {"B", 120}}}};
    document["TimedMessages"] = {{"Enabled", true}, {"Interval", 600}, {"Messages", messages}};
  }
  if (shape == Shape::kNewKeys) {
    document["Bellwright"]["WelcomeMessage"].update(
        {{"DelaySeconds", 3},
         {"GroupMessages",
          {{{"Group", "VIP"}, {"Message", "Welcome back {PlayerName}, {PlayerCount} online"}},
           {{"Group", "Admin"}, {"Message", "Hello {0}"}}}}});
    document["CooldownMessage"] = "Wait {Seconds} s before {Command}";
    document["TimedMessages"].update({{"Order", "Sequential"}, {"MinPlayers", 2}});
  }
  return document.dump(2);
}

Shape ShapeOf(const benchmark::State& state) {
  return static_cast<Shape>(state.range(0));
}

// The one reading of the file: parse, settings and findings.
void BM_CheckThousandCustomCommands(benchmark::State& state) {
  const std::string text = ConfigText(ShapeOf(state));
  for (auto _ : state) {
    const Bellwright::ConfigText read = Bellwright::ReadConfigText(text);
    benchmark::DoNotOptimize(read.report.findings.data());
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_CheckThousandCustomCommands)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// bw.reload as it runs now: read, parse, check (findings to the log), build the
// table, swap and register, on the lean and the rich file (budget 15 ms).
void BM_ReloadWithChecksThousandCustomCommands(benchmark::State& state) {
  const PluginSession session(ConfigText(ShapeOf(state)));
  for (auto _ : state) {
    if (!Bellwright::ReloadConfiguration().succeeded) {
      state.SkipWithError("reload failed");
      break;
    }
  }
}
BENCHMARK(BM_ReloadWithChecksThousandCustomCommands)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

// A 12 MB file of a million keys that no setting has: each needs its place in the
// file, but only the first findings get a message (limit 3 s, checker and plug-in).
std::string MillionUnknownKeys() {
  std::string text = "{";
  for (int key = 0; key < 1'000'000; ++key) {
    text += fmt::format("{}\"k{:06}\":0", key == 0 ? "" : ",", key);
  }
  return text + "}";
}

void BM_CheckMillionUnknownKeys(benchmark::State& state) {
  const std::string text = MillionUnknownKeys();
  for (auto _ : state) {
    const Bellwright::ConfigText read = Bellwright::ReadConfigText(text);
    benchmark::DoNotOptimize(read.report.findings.data());
  }
}
BENCHMARK(BM_CheckMillionUnknownKeys)->Unit(benchmark::kMillisecond);

// The plug-in's load and one reload of that file, the findings logged.
void BM_LoadAndReloadMillionUnknownKeys(benchmark::State& state) {
  const std::string text = MillionUnknownKeys();
  for (auto _ : state) {
    const PluginSession session(text);
    if (!Bellwright::ReloadConfiguration().succeeded) {
      state.SkipWithError("reload failed");
      break;
    }
  }
}
BENCHMARK(BM_LoadAndReloadMillionUnknownKeys)->Unit(benchmark::kMillisecond);

}  // namespace
