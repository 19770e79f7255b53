#include "countdown/countdown_plan.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace Bellwright {
namespace {

TEST(CountdownPlan, AnnouncesAtOnceThenEachStepBelowTheStartOnceThenEnds) {
  const struct {
    int minutes;
    std::vector<int> steps;
    std::vector<int> marks;
  } cases[] = {
      {15, {15, 10, 5, 3, 2, 1}, {15, 10, 5, 3, 2, 1, 0}},
      {12, {15, 10, 5, 3, 2, 1}, {12, 10, 5, 3, 2, 1, 0}},
      {1, {15, 10, 5, 3, 2, 1}, {1, 0}},
      {30, {1, 5, 5, 20, 0, -3}, {30, 20, 5, 1, 0}},
      {10, {}, {10, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountdownMarks(c.minutes, c.steps), c.marks) << c.minutes;
  }
}

TEST(CountdownPlan, AMarkIsDueFromItsInstantAndAStallAnnouncesOnlyTheLatest) {
  const std::vector<int> marks = CountdownMarks(12, {10, 5, 1});  // 12 10 5 1 0
  const struct {
    std::size_t next;
    std::int64_t elapsed;
    std::optional<std::size_t> due;
  } cases[] = {
      {0, 0, 0},               // the announcement at once
      {1, 119, std::nullopt},  // 10 minutes left comes at 120 s
      {1, 120, 1},
      {1, 121, 1},
      {2, 421, 2},  // 5 left at 420 s
      {2, 700, 3},  // stalled past 5 and 1 left: only 1 left goes out
      {4, 719, std::nullopt},
      {4, 720, 4},              // the end
      {5, 9999, std::nullopt},  // nothing after the end
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DueMark(marks, c.next, 12, c.elapsed), c.due) << c.next << " at " << c.elapsed;
  }
}

}  // namespace
}  // namespace Bellwright
