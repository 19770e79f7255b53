#include "config/message_list_settings.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "config_reading.hpp"

namespace Bellwright {
namespace {

TEST(TimedMessageOrderTest, OnlyTheExactWordIsTheListOrder) {
  const auto order_of = [](const char* word) {
    return SettingsOf({{"TimedMessages", {{"Order", word}}}}).announcements.timed.list.order;
  };
  EXPECT_EQ(order_of("Sequential"), MessageOrder::kSequential);
  for (const char* other : {"Random", "sequential", "SEQUENTIAL", "Sequential ", "", "Order"}) {
    EXPECT_EQ(order_of(other), MessageOrder::kRandom) << other;
  }
}

}  // namespace
}  // namespace Bellwright
