#include "countdown/countdown_plan.hpp"

#include <algorithm>
#include <functional>

namespace Bellwright {

std::vector<int> CountdownMarks(int minutes, std::vector<int> steps) {
  std::erase_if(steps, [minutes](int step) { return step <= 0 || step >= minutes; });
  std::sort(steps.begin(), steps.end(), std::greater<>());
  steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
  steps.insert(steps.begin(), minutes);
  steps.push_back(0);
  return steps;
}

std::optional<std::size_t> DueMark(std::span<const int> marks, std::size_t next, int minutes,
                                   std::int64_t elapsed_seconds) {
  std::optional<std::size_t> due;
  for (std::size_t index = next; index < marks.size(); ++index) {
    if (SecondsToMark(minutes, marks[index]) > elapsed_seconds) {
      break;
    }
    due = index;
  }
  return due;
}

std::int64_t SecondsToMark(int minutes, int minutes_left) {
  constexpr std::int64_t kSecondsPerMinute = 60;
  return static_cast<std::int64_t>(minutes - minutes_left) * kSecondsPerMinute;
}

}  // namespace Bellwright
