#pragma once

namespace Sandbox {

// The real host runs its delayed tasks at each game frame, about 30 a second, and the
// game-state timer at every thirtieth frame.
inline constexpr int kFramesPerSecond = 30;

// What the game does between two moments of a script, the clock standing still: frames
// of the tasks that are due (those of delay 0 scheduled meanwhile), until none is left or
// a second's worth of frames has run. A task that schedules itself again at every frame
// runs 30 times, so a script stays the same from run to run.
void RunPendingFrames();

// One second of a script: the clock moves a second, the tasks that are due run, then the
// pending frames, then the game-state timer once.
void StepOneSecond();

}  // namespace Sandbox
