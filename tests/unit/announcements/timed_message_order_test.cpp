#include <gtest/gtest.h>

#include "announcements/timed_message_draw.hpp"

namespace Bellwright {
namespace {

struct SequenceCase {
  int last_index;
  int count;
  int expected;
};

void PrintTo(const SequenceCase& sequence, std::ostream* out) {
  *out << "after " << sequence.last_index << " of " << sequence.count;
}

class NextSequentialIndexTest : public testing::TestWithParam<SequenceCase> {};

TEST_P(NextSequentialIndexTest, TakesTheNextEntryAndWrapsToTheFirst) {
  const auto& param = GetParam();
  EXPECT_EQ(NextSequentialIndex(param.last_index, param.count), param.expected);
}

INSTANTIATE_TEST_SUITE_P(Turns, NextSequentialIndexTest,
                         testing::Values(
                             // Nothing chosen yet: the first entry.
                             SequenceCase{-1, 3, 0}, SequenceCase{-1, 1, 0},
                             // In order, wrapping after the last.
                             SequenceCase{0, 3, 1}, SequenceCase{1, 3, 2}, SequenceCase{2, 3, 0},
                             // One entry: always that one.
                             SequenceCase{0, 1, 0},
                             // The list became shorter than the last index: the first entry.
                             SequenceCase{4, 3, 0}, SequenceCase{3, 3, 0},
                             SequenceCase{2147483647, 2, 0},
                             // The list became longer: on from where it was.
                             SequenceCase{2, 10, 3},
                             // An index that cannot come from a turn is treated as nothing chosen.
                             SequenceCase{-5, 3, 0}));

}  // namespace
}  // namespace Bellwright
