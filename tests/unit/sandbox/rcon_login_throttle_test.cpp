#include "rcon/rcon_login_throttle.hpp"

#include <gtest/gtest.h>

namespace Sandbox {
namespace {

using namespace std::chrono_literals;
using Clock = RconLoginThrottle::Clock;

class RconLoginThrottleTest : public ::testing::Test {
 protected:
  RconLoginThrottle throttle{3, 60s};
  Clock::time_point start = Clock::now();
};

TEST_F(RconLoginThrottleTest, LocksAnAddressOutAfterRepeatedFailuresUntilTheLockoutEnds) {
  throttle.RecordFailure("10.0.0.1", start);
  throttle.RecordFailure("10.0.0.1", start + 1s);
  EXPECT_FALSE(throttle.IsLockedOut("10.0.0.1", start + 1s));
  throttle.RecordFailure("10.0.0.1", start + 2s);
  EXPECT_TRUE(throttle.IsLockedOut("10.0.0.1", start + 2s));
  EXPECT_TRUE(throttle.IsLockedOut("10.0.0.1", start + 61s));
  EXPECT_FALSE(throttle.IsLockedOut("10.0.0.2", start + 2s));
  EXPECT_FALSE(throttle.IsLockedOut("10.0.0.1", start + 62s));
}

TEST_F(RconLoginThrottleTest, ASuccessfulLoginForgetsEarlierFailures) {
  throttle.RecordFailure("10.0.0.1", start);
  throttle.RecordFailure("10.0.0.1", start + 1s);
  throttle.RecordSuccess("10.0.0.1");
  throttle.RecordFailure("10.0.0.1", start + 2s);
  EXPECT_FALSE(throttle.IsLockedOut("10.0.0.1", start + 2s));
}

TEST_F(RconLoginThrottleTest, FailuresFarApartDoNotAddUp) {
  throttle.RecordFailure("10.0.0.1", start);
  throttle.RecordFailure("10.0.0.1", start + 2min);
  throttle.RecordFailure("10.0.0.1", start + 4min);
  EXPECT_FALSE(throttle.IsLockedOut("10.0.0.1", start + 4min));
}

TEST_F(RconLoginThrottleTest, KeepsLockoutsWhileForgettingOldRecordsOfManyAddresses) {
  for (int attempt = 0; attempt < 3; ++attempt) throttle.RecordFailure("attacker", start);
  for (int address = 0; address < 3000; ++address) {
    throttle.RecordFailure("scan" + std::to_string(address), start + 10s);
  }
  EXPECT_TRUE(throttle.IsLockedOut("attacker", start + 30s));
  // Past the lockout only the addresses that failed since are remembered; a record
  // refreshed by a later failure outlives the expiry of its first one.
  throttle.RecordFailure("scan7", start + 65s);
  throttle.RecordFailure("late", start + 71s);
  EXPECT_EQ(throttle.RememberedAddresses(), 2U);
  EXPECT_FALSE(throttle.IsLockedOut("attacker", start + 71s));
  throttle.RecordSuccess("late");
  throttle.RecordFailure("last", start + 200s);
  EXPECT_EQ(throttle.RememberedAddresses(), 1U);
}

}  // namespace
}  // namespace Sandbox
