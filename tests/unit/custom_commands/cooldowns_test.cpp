#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "custom_commands/command_cooldowns.hpp"
#include "custom_commands/custom_command_table.hpp"

namespace Bellwright {
namespace {

constexpr std::int64_t kSecond = 10'000'000;
constexpr std::int64_t kStart = 17'672'256'000'000'000;  // 2026-01-01 in host ticks

TEST(CommandCooldownsTest, WaitsUntilExactlyTheEndOfTheCooldown) {
  CommandCooldowns cooldowns;
  const FString kit("/kit");
  const FString player("A1");
  EXPECT_EQ(cooldowns.TicksLeft(kit, player, 10 * kSecond, kStart), 0);
  cooldowns.RecordUse(kit, player, 10 * kSecond, kStart);
  EXPECT_EQ(cooldowns.TicksLeft(kit, player, 10 * kSecond, kStart), 10 * kSecond);
  EXPECT_EQ(cooldowns.TicksLeft(kit, player, 10 * kSecond, kStart + 9 * kSecond), kSecond);
  EXPECT_EQ(cooldowns.TicksLeft(kit, player, 10 * kSecond, kStart + 10 * kSecond - 1), 1);
  EXPECT_EQ(cooldowns.TicksLeft(kit, player, 10 * kSecond, kStart + 10 * kSecond), 0);
  // The length is the command's at the moment of asking: a reload may change it.
  EXPECT_EQ(cooldowns.TicksLeft(kit, player, 30 * kSecond, kStart + 10 * kSecond), 20 * kSecond);
  EXPECT_EQ(cooldowns.TicksLeft(kit, player, 0, kStart), 0);
}

TEST(CommandCooldownsTest, BelongToThePlayerAndTheCommandIgnoringLetterCase) {
  CommandCooldowns cooldowns;
  cooldowns.RecordUse(FString("/kit"), FString("Player1"), 10 * kSecond, kStart);
  EXPECT_GT(cooldowns.TicksLeft(FString("/KIT"), FString("PLAYER1"), 10 * kSecond, kStart), 0);
  EXPECT_EQ(cooldowns.TicksLeft(FString("/kit"), FString("Player2"), 10 * kSecond, kStart), 0);
  EXPECT_EQ(cooldowns.TicksLeft(FString("/vip"), FString("Player1"), 10 * kSecond, kStart), 0);
}

TEST(CommandCooldownsTest, AClockThatWentBackNeverLengthensTheWait) {
  CommandCooldowns cooldowns;
  cooldowns.RecordUse(FString("/kit"), FString("A1"), 10 * kSecond, kStart);
  EXPECT_EQ(
      cooldowns.TicksLeft(FString("/kit"), FString("A1"), 10 * kSecond, kStart - 3600 * kSecond),
      10 * kSecond);
}

TEST(CommandCooldownsTest, KeepsOnlyTheCommandsThatStillExist) {
  CommandCooldowns cooldowns;
  cooldowns.RecordUse(FString("/kit"), FString("A1"), 10 * kSecond, kStart);
  cooldowns.RecordUse(FString("/vip"), FString("A1"), 10 * kSecond, kStart);
  cooldowns.KeepCommandsWhere([](const FString& name) { return name == FString("/KIT"); });
  EXPECT_GT(cooldowns.TicksLeft(FString("/kit"), FString("A1"), 10 * kSecond, kStart), 0);
  EXPECT_EQ(cooldowns.TicksLeft(FString("/vip"), FString("A1"), 10 * kSecond, kStart), 0);
  cooldowns.Clear();
  EXPECT_EQ(cooldowns.TicksLeft(FString("/kit"), FString("A1"), 10 * kSecond, kStart), 0);
}

TEST(CommandCooldownsTest, SweepingPassedUsesKeepsTheRunningOnes) {
  CommandCooldowns cooldowns;
  const FString kit("/kit");
  const auto player = [](int index) {
    return FString(std::string_view("P" + std::to_string(index)));
  };
  // Far more players than the first sweep: those whose cooldown runs are all kept.
  for (int index = 0; index < 300; ++index) {
    cooldowns.RecordUse(kit, player(index), 10 * kSecond, kStart + index);
  }
  for (int index = 0; index < 300; ++index) {
    ASSERT_EQ(cooldowns.TicksLeft(kit, player(index), 10 * kSecond, kStart + 300),
              10 * kSecond - 300 + index)
        << index;
  }
  // Later uses sweep the passed ones without touching the new.
  const std::int64_t later = kStart + 60 * kSecond;
  for (int index = 300; index < 600; ++index) {
    cooldowns.RecordUse(kit, player(index), 10 * kSecond, later);
  }
  EXPECT_EQ(cooldowns.TicksLeft(kit, player(0), 10 * kSecond, later), 0);
  EXPECT_EQ(cooldowns.TicksLeft(kit, player(599), 10 * kSecond, later), 10 * kSecond);
  EXPECT_EQ(cooldowns.TicksLeft(kit, player(300), 10 * kSecond, later), 10 * kSecond);
}

TEST(CooldownConversionTest, SecondsBecomeTicksAndWaitsRoundUp) {
  EXPECT_EQ(CooldownTicksFromSeconds(0.0), 0);
  EXPECT_EQ(CooldownTicksFromSeconds(-5.0), 0);
  EXPECT_EQ(CooldownTicksFromSeconds(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(CooldownTicksFromSeconds(2.5), 25'000'000);
  EXPECT_EQ(CooldownTicksFromSeconds(1e300), CooldownTicksFromSeconds(1e10));
  EXPECT_GT(CooldownTicksFromSeconds(1e300), 0);

  EXPECT_EQ(WholeSecondsUp(0), 0);
  EXPECT_EQ(WholeSecondsUp(1), 1);
  EXPECT_EQ(WholeSecondsUp(kSecond), 1);
  EXPECT_EQ(WholeSecondsUp(kSecond + 1), 2);
  EXPECT_EQ(WholeSecondsUp(15 * kSecond / 10), 2);
}

}  // namespace
}  // namespace Bellwright
