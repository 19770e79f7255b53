#include "announcements/timed_message_draw.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace Bellwright {
namespace {

struct DrawCase {
  int random_value;
  int count;
  int expected_index;
};

void PrintTo(const DrawCase& draw, std::ostream* out) {
  *out << "rand " << draw.random_value << " of " << draw.count;
}

class TimedMessageIndexTest : public testing::TestWithParam<DrawCase> {};

TEST_P(TimedMessageIndexTest, MapsFifteenBitsToAnIndex) {
  const auto& param = GetParam();
  EXPECT_EQ(TimedMessageIndexFromRandom(param.random_value, param.count), param.expected_index)
      << "rand() = " << param.random_value << ", " << param.count << " messages";
}

INSTANTIATE_TEST_SUITE_P(Draws, TimedMessageIndexTest,
                         testing::Values(DrawCase{0, 2, 0}, DrawCase{16383, 2, 0},
                                         DrawCase{16384, 2, 1},
                                         // The top value would give `count` itself and is capped.
                                         DrawCase{32767, 2, 1}, DrawCase{32767, 3, 2},
                                         DrawCase{10922, 3, 0}, DrawCase{10923, 3, 1},
                                         DrawCase{21845, 3, 2}, DrawCase{32766, 5, 4},
                                         // Only the low 15 bits count, whatever RAND_MAX is.
                                         DrawCase{32768, 2, 0}, DrawCase{0x7FFFFFFF, 4, 3},
                                         DrawCase{(1 << 20) + 16384, 2, 1}));

std::function<int()> Sequence(std::vector<int> values, int& draws) {
  return [values = std::move(values), &draws]() { return values.at(draws++); };
}

TEST(DrawTimedMessageIndexTest, DrawsAgainUntilTheIndexDiffersFromTheLastOne) {
  int draws = 0;
  // 32767 gives index 1 (the last one) twice before 0 gives index 0.
  EXPECT_EQ(DrawTimedMessageIndex(2, 1, Sequence({32767, 32767, 0}, draws)), 0);
  EXPECT_EQ(draws, 3);
}

TEST(DrawTimedMessageIndexTest, KeepsTheFirstDrawWhenItDiffers) {
  int draws = 0;
  EXPECT_EQ(DrawTimedMessageIndex(3, -1, Sequence({32767, 0}, draws)), 2);
  EXPECT_EQ(draws, 1);
}

TEST(DrawTimedMessageIndexTest, NeverRepeatsWithTheRuntimeGenerator) {
  int last = -1;
  for (int turn = 0; turn < 1000; ++turn) {
    const int index = DrawTimedMessageIndex(3, last, [] { return std::rand(); });
    ASSERT_NE(index, last);
    ASSERT_GE(index, 0);
    ASSERT_LT(index, 3);
    last = index;
  }
}

}  // namespace
}  // namespace Bellwright
