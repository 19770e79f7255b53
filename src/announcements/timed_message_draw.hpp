#pragma once

#include <functional>
#include <string_view>

namespace Bellwright {

// The index one draw of the runtime's rand() gives among `count` messages: the low
// 15 bits r, then count * (r / 32767) in single precision, truncated toward zero
// and capped at count - 1. Only 15 bits count whatever the platform's RAND_MAX, so
// every platform maps a draw alike.
int TimedMessageIndexFromRandom(int random_value, int count);

// Draws with `next_random` until the index differs from `last_index`, so the same
// message never comes twice in a row. Needs `count` of at least 2.
int DrawTimedMessageIndex(int count, int last_index, const std::function<int()>& next_random);

// The entry after `last_index` among `count` (at least 1), wrapping to the first. The
// last index may lie past the end of a list that has since become shorter, or be -1
// before the first turn; both give the first entry.
int NextSequentialIndex(int last_index, int count);

}  // namespace Bellwright
