// A soak of the opt-out storage at the host's real pace: the plug-in loaded over the
// sandbox's host library in this process, SQLite in a folder on the disk given, players
// joining and toggling their choice while the game-state timer runs once a second, for
// as long as asked. It prints how long the longest callbacks took, how many took more
// than 5 ms, and how often anything flushed a file to the disk, in the callbacks and at
// the unload.
//
//   bellwright_opt_out_soak [--players N] [--seconds S] [--folder DIR]
//
// The folder should be on the disk the server would use (not a tmpfs); a server folder
// is made in it and removed afterwards.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "disk_flushes.hpp"
#include "host_library/clock.hpp"
#include "host_library/events.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/server_directory.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "plugin/load.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
  int players = 50;
  int seconds = 1500;
  fs::path folder = fs::current_path();
};

Options ReadOptions(int argc, char** argv) {
  Options options;
  for (int index = 1; index + 1 < argc; index += 2) {
    const std::string name = argv[index];
    const char* value = argv[index + 1];
    if (name == "--players") {
      options.players = std::atoi(value);
    } else if (name == "--seconds") {
      options.seconds = std::atoi(value);
    } else if (name == "--folder") {
      options.folder = value;
    }
  }
  return options;
}

// Keeps nothing of what players would see; the soak measures time.
class QuietSink final : public Sandbox::EventSink {
 public:
  void Write(const Sandbox::Event& event) override {
    if (event["event"] == "host_error") {
      ++host_errors;
    }
  }
  long host_errors = 0;
};

// What the game thread did meanwhile: the processor time it had, and how often it
// waited (for the disk, a lock) or was made to wait (for the processor).
struct ThreadUse {
  long cpu_us = 0;
  long waited = 0;
  long preempted = 0;

  static ThreadUse Now() {
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    rusage use{};
    getrusage(RUSAGE_THREAD, &use);
    return {cpu.tv_sec * 1'000'000 + cpu.tv_nsec / 1000, use.ru_nvcsw, use.ru_nivcsw};
  }
};

class Callbacks {
 public:
  void Run(const std::string& kind, const std::function<void()>& callback) {
    const long flushes_before = DiskFlushes();
    const ThreadUse use_before = ThreadUse::Now();
    const auto started = Clock::now();
    callback();
    const auto took = Clock::now() - started;
    if (took > std::chrono::milliseconds(5)) {
      const ThreadUse use_after = ThreadUse::Now();
      std::printf(
          "slow %s: %ld us, of which %ld us on the processor; waited %ld times, "
          "preempted %ld times\n",
          kind.c_str(),
          static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(took).count()),
          use_after.cpu_us - use_before.cpu_us, use_after.waited - use_before.waited,
          use_after.preempted - use_before.preempted);
    }
    Kind& record = kinds_[kind];
    ++record.count;
    record.longest = std::max(record.longest, took);
    record.over_5_ms += took > std::chrono::milliseconds(5) ? 1 : 0;
    durations_.push_back(took);
    flushes_ += DiskFlushes() - flushes_before;
  }

  void Print() {
    std::sort(durations_.begin(), durations_.end());
    const auto micro = [](Clock::duration duration) {
      return std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
    };
    long over = 0;
    for (const auto& [kind, record] : kinds_) {
      std::printf("%-10s %8ld calls, longest %6ld us, over 5 ms: %ld\n", kind.c_str(), record.count,
                  static_cast<long>(micro(record.longest)), record.over_5_ms);
      over += record.over_5_ms;
    }
    if (!durations_.empty()) {
      // The duration below which `per_mille` of the calls stay.
      const auto at = [this](std::size_t per_mille) {
        return durations_[std::min(durations_.size() - 1, per_mille * durations_.size() / 1000)];
      };
      std::printf(
          "all        %8zu calls, median %ld us, 99th %ld us, 99.9th %ld us, over 5 ms: %ld\n",
          durations_.size(), static_cast<long>(micro(at(500))), static_cast<long>(micro(at(990))),
          static_cast<long>(micro(at(999))), over);
    }
    std::printf("disk flushes in the callbacks: %ld\n", flushes_);
  }

 private:
  struct Kind {
    long count = 0;
    Clock::duration longest{};
    long over_5_ms = 0;
  };
  std::map<std::string, Kind> kinds_;
  std::vector<Clock::duration> durations_;
  long flushes_ = 0;
};

std::string Id(int player) {
  return "7656119800000" + std::to_string(1000 + player);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ReadOptions(argc, argv);
  const fs::path server = options.folder / ("bellwright-soak-" + std::to_string(::getpid()));
  const fs::path plugin_folder = server / "ArkApi/Plugins/BellwrightEx";
  fs::create_directories(plugin_folder);
  std::ofstream(plugin_folder / "config.json") << R"({"Bellwright": {"WelcomeMessage": {
      "EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "DelaySeconds": 5,
      "FirstJoinMessage": "First time here, {0}"}},
    "TimedMessages": {"Enabled": true, "Interval": 60, "OptOutCommand": "/ads",
      "Messages": [{"MessageToSend": "Announcement", "MessageType": "Server"}]}})";
  Sandbox::SetServerDirectory(server.string());
  Sandbox::TheClock().UseSystem();
  QuietSink sink;
  Sandbox::SetEventSink(&sink);
  Callbacks callbacks;
  std::mt19937 random(27);
  std::uniform_int_distribution<int> percent(0, 99);

  callbacks.Run("load", [] { Bellwright::Load(); });
  for (int player = 0; player < options.players; ++player) {
    callbacks.Run("possess", [player] {
      Sandbox::TheWorld().Join(FString(Id(player)), FString("Player " + std::to_string(player)));
    });
  }
  auto next_frame = Clock::now();
  const auto frame_time = std::chrono::microseconds(1'000'000 / Sandbox::kFramesPerSecond);
  for (int second = 0; second < options.seconds; ++second) {
    // The game's frames run the tasks that are due; every thirtieth calls the timer.
    for (int frame = 0; frame < Sandbox::kFramesPerSecond; ++frame) {
      next_frame += frame_time;
      std::this_thread::sleep_until(next_frame);
      callbacks.Run("frame", [] { Sandbox::TheDelayedTasks().RunFrame(); });
    }
    callbacks.Run("timer", [] { Sandbox::TheWorld().RunGameStateTimer(); });
    // Each player changes their mind about once in twenty seconds; one in a hundred
    // seconds someone leaves and comes back.
    for (int player = 0; player < options.players; ++player) {
      if (percent(random) < 5) {
        callbacks.Run("command",
                      [player] { Sandbox::TheWorld().Chat(FString(Id(player)), FString("/ads")); });
      }
    }
    if (percent(random) == 0) {
      const int player = percent(random) % options.players;
      callbacks.Run("logout", [player] { Sandbox::TheWorld().Leave(FString(Id(player))); });
      callbacks.Run("possess", [player] {
        Sandbox::TheWorld().Join(FString(Id(player)), FString("Player " + std::to_string(player)));
      });
    }
  }
  const long before_unload = DiskFlushes();
  const auto unload_started = Clock::now();
  Bellwright::Unload();
  const auto unload_took = Clock::now() - unload_started;
  Sandbox::TheDelayedTasks().Abandon();
  Sandbox::SetEventSink(nullptr);

  std::printf("%d players, %d s on %s\n", options.players, options.seconds,
              options.folder.string().c_str());
  callbacks.Print();
  std::printf(
      "unload: %ld us, %ld disk flushes\n",
      static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(unload_took).count()),
      DiskFlushes() - before_unload);
  std::printf("host errors: %ld\n", sink.host_errors);
  std::error_code ignored;
  fs::remove_all(server, ignored);
  return sink.host_errors == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
