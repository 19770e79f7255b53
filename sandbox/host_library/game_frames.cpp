#include "host_library/game_frames.hpp"

#include <chrono>

#include "host_library/clock.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"

namespace Sandbox {

void RunPendingFrames() {
  for (int frame = 0; frame < kFramesPerSecond && TheDelayedTasks().HasDue(); ++frame) {
    TheDelayedTasks().RunFrame();
  }
}

void StepOneSecond() {
  TheClock().Advance(std::chrono::seconds(1));
  TheDelayedTasks().RunFrame();
  RunPendingFrames();
  TheWorld().RunGameStateTimer();
}

}  // namespace Sandbox
