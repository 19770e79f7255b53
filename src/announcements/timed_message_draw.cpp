#include "announcements/timed_message_draw.hpp"

#include <algorithm>

namespace Bellwright {

int TimedMessageIndexFromRandom(int random_value, int count) {
  const int low_bits = random_value & 0x7FFF;
  const float scaled = static_cast<float>(count) * (static_cast<float>(low_bits) / 32767.0F);
  return std::min(static_cast<int>(scaled), count - 1);
}

int DrawTimedMessageIndex(int count, int last_index, const std::function<int()>& next_random) {
  int index = last_index;
  while (index == last_index) {
    index = TimedMessageIndexFromRandom(next_random(), count);
  }
  return index;
}

int NextSequentialIndex(int last_index, int count) {
  return last_index >= -1 && last_index < count - 1 ? last_index + 1 : 0;
}

}  // namespace Bellwright
