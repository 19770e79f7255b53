#pragma once

namespace Bellwright {

// The most custom commands one chain may run: a command's Command_To_Execute can run
// another custom command inside the first one's call, and each step takes stack. Far
// above any real use, far below what a game thread's stack holds. The configuration
// checks warn about longer chains.
inline constexpr int kLongestCommandChain = 16;

}  // namespace Bellwright
