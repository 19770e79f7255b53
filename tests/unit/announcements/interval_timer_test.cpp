#include "announcements/interval_timer.hpp"

#include <gtest/gtest.h>

namespace Bellwright {
namespace {

constexpr std::int64_t kSecond = kClockTicksPerSecond;

// A turn comes at the first call at or after its due time, and the next one an
// interval after that call, so a late call does not bunch the turns that follow.
TEST(IntervalTimer, TakesATurnAtTheFirstCallAtOrAfterItsDueTime) {
  IntervalTimer timer;
  const struct {
    std::int64_t now;
    bool turn;
    long long seconds_left;
  } calls[] = {
      {0, true, 30},
      {29 * kSecond, false, 1},
      {30 * kSecond - 1, false, 1},
      {30 * kSecond, true, 30},
      {75 * kSecond, true, 30},
      {104 * kSecond, false, 1},
  };
  for (const auto& call : calls) {
    EXPECT_EQ(timer.TakeTurn(call.now, IntervalTicks(30)), call.turn) << call.now;
    EXPECT_EQ(timer.SecondsUntilDue(call.now), call.seconds_left) << call.now;
  }
}

TEST(IntervalTimer, AFreshTimerIsDueAtOnceWhereverTheSteadyClockStarts) {
  for (const std::int64_t start : {std::int64_t{-5} * kSecond, std::int64_t{0}, 7 * kSecond}) {
    IntervalTimer timer;
    EXPECT_FALSE(timer.DueTicks()) << start;
    EXPECT_EQ(timer.SecondsUntilDue(start), 0) << start;
    EXPECT_TRUE(timer.TakeTurn(start, IntervalTicks(30))) << start;
    EXPECT_EQ(timer.DueTicks(), start + 30 * kSecond) << start;
  }
}

TEST(IntervalTicks, HoldsAnIntervalToAboutThreeCenturies) {
  EXPECT_EQ(IntervalTicks(2.9), 2 * kSecond);
  EXPECT_EQ(IntervalTicks(0), 0);
  EXPECT_EQ(IntervalTicks(1e300), static_cast<std::int64_t>(kLongestConfiguredSeconds) * kSecond);
  EXPECT_EQ(IntervalTicks(-1e300), -static_cast<std::int64_t>(kLongestConfiguredSeconds) * kSecond);
}

}  // namespace
}  // namespace Bellwright
