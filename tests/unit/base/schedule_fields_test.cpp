#include "base/schedule_fields.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "base/time_zone.hpp"

namespace Bellwright {
namespace {

TEST(ScheduleFields, ClockTimesAreTwoDigitsAColonAndTwoDigits) {
  struct Case {
    std::string_view text;
    std::optional<int> minutes;
  };
  const Case cases[] = {{"00:00", 0},
                        {"06:00", 360},
                        {"23:59", 1439},
                        {"6:00", std::nullopt},
                        {"24:00", std::nullopt},
                        {"12:60", std::nullopt},
                        {"06:00:00", std::nullopt},
                        {"06.00", std::nullopt},
                        {"", std::nullopt},
                        {"+6:00", std::nullopt},
                        {"0a:00", std::nullopt}};
  for (const Case& item : cases) {
    EXPECT_EQ(MinuteOfDayFromText(item.text), item.minutes) << item.text;
  }
}

TEST(ScheduleFields, DaysAreWrittenExactly) {
  EXPECT_EQ(WeekdayFromName("Mon"), 0);
  EXPECT_EQ(WeekdayFromName("Sun"), 6);
  EXPECT_EQ(WeekdayFromName("sun"), std::nullopt);
  EXPECT_EQ(WeekdayFromName("Sunday"), std::nullopt);
}

TEST(ScheduleFields, StepsAreWholeMinutesFromZero) {
  EXPECT_EQ(StepMinutesFromNumber(0), 0);
  EXPECT_EQ(StepMinutesFromNumber(5.0), 5);
  EXPECT_EQ(StepMinutesFromNumber(kLongestStepMinutes), kLongestStepMinutes);
  EXPECT_EQ(StepMinutesFromNumber(1.5), std::nullopt);
  EXPECT_EQ(StepMinutesFromNumber(-1), std::nullopt);
  EXPECT_EQ(StepMinutesFromNumber(kLongestStepMinutes + 1.0), std::nullopt);
  EXPECT_EQ(StepMinutesFromNumber(1e300), std::nullopt);
}

TEST(ScheduleFields, ZonesComeFromTheDatabaseByExactName) {
  EXPECT_NE(FindTimeZone("UTC"), nullptr);
  EXPECT_NE(FindTimeZone("Europe/Berlin"), nullptr);
  EXPECT_EQ(FindTimeZone("europe/berlin"), nullptr);
  EXPECT_EQ(FindTimeZone("Mars/Olympus_Mons"), nullptr);
  EXPECT_EQ(FindTimeZone(""), nullptr);
}

}  // namespace
}  // namespace Bellwright
