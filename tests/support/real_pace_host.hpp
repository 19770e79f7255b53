#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include "host_library/clock.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"

// The sandbox host inside the test process at the real host's pace, with real time
// passing: a frame every 1/30 s runs the delayed tasks that are due, every thirtieth
// frame then calls the game-state timer, and the clock is the system's. Every host
// callback it makes, and every one a test makes through Callback, is timed, so that a
// claim about how long a callback takes is measured as the game would meet it.
class RealPaceHost {
 public:
  using Clock = std::chrono::steady_clock;

  RealPaceHost() {
    Sandbox::TheClock().UseSystem();
    next_frame_ = Clock::now();
  }
  ~RealPaceHost() { Sandbox::TheClock().UseVirtual(); }
  RealPaceHost(const RealPaceHost&) = delete;
  RealPaceHost& operator=(const RealPaceHost&) = delete;

  // Runs one host callback now (a command, a chat line, a join), timed.
  void Callback(const std::string& name, const std::function<void()>& call) {
    const Clock::time_point started = Clock::now();
    call();
    const Clock::duration spent = Clock::now() - started;
    if (spent > longest_) {
      longest_ = spent;
      longest_name_ = name;
    }
    longest_of_[name] = std::max(longest_of_[name], spent);
  }

  // Runs frames until `done` holds (asked after each frame) or `limit` has passed; the
  // time it took, or nothing when it never held.
  std::optional<Clock::duration> RunUntil(const std::function<bool()>& done,
                                          Clock::duration limit) {
    const Clock::time_point started = Clock::now();
    while (!done()) {
      if (Clock::now() - started >= limit) return std::nullopt;
      Frame();
    }
    return Clock::now() - started;
  }
  void RunFor(Clock::duration duration) {
    RunUntil([] { return false; }, duration);
  }

  Clock::duration Longest() const { return longest_; }
  const std::string& LongestName() const { return longest_name_; }
  // The longest of the callbacks of one kind ("frame", "timer", or a test's name).
  Clock::duration Longest(const std::string& name) const {
    const auto found = longest_of_.find(name);
    return found != longest_of_.end() ? found->second : Clock::duration{};
  }
  void ResetLongest() {
    longest_ = {};
    longest_name_.clear();
    longest_of_.clear();
  }

 private:
  void Frame() {
    next_frame_ += kFrame;
    // A slow machine does not catch up with a burst of frames, as the game does not.
    next_frame_ = std::max(next_frame_, Clock::now());
    std::this_thread::sleep_until(next_frame_);
    Callback("frame", [] { Sandbox::TheDelayedTasks().RunFrame(); });
    frames_this_second_ = (frames_this_second_ + 1) % Sandbox::kFramesPerSecond;
    if (frames_this_second_ == 0) {
      Callback("timer", [] { Sandbox::TheWorld().RunGameStateTimer(); });
    }
  }

  static constexpr auto kFrame = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(1.0 / Sandbox::kFramesPerSecond));

  Clock::time_point next_frame_;
  int frames_this_second_ = 0;
  Clock::duration longest_{};
  std::string longest_name_;
  std::map<std::string, Clock::duration> longest_of_;
};
