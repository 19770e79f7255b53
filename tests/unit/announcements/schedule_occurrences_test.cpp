#include "announcements/schedule_occurrences.hpp"

#include <fmt/chrono.h>
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/schedule_fields.hpp"

namespace Bellwright {
namespace {

using std::chrono::seconds;
using std::chrono::sys_seconds;

sys_seconds Utc(const char* text) {
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  int hours = 0;
  int minutes = 0;
  int secs = 0;
  EXPECT_EQ(std::sscanf(text, "%d-%u-%uT%d:%d:%d", &year, &month, &day, &hours, &minutes, &secs), 6)
      << text;
  return sys_seconds(std::chrono::sys_days(std::chrono::year(year) / month / day)) +
         std::chrono::hours(hours) + std::chrono::minutes(minutes) + seconds(secs);
}

struct ScheduleCase {
  const char* name;
  std::vector<std::string> at;
  std::vector<std::string> days;  // empty: every day
  const char* zone;
  std::vector<int> before;
  const char* start;
  // Timer calls: every second for `run_seconds` after the start, or else at these
  // offsets from the start.
  int run_seconds;
  std::vector<int> calls;
  // "UTC instant of the call, minutes left, the clock time"
  std::vector<std::string> sent;
};

void PrintTo(const ScheduleCase& item, std::ostream* out) {
  *out << item.name;
}

ClockTimes TimesOf(const ScheduleCase& item) {
  ClockTimes times;
  for (const auto& text : item.at) {
    times.at_minutes.push_back(MinuteOfDayFromText(text).value());
  }
  for (const auto& name : item.days) {
    times.on_day[static_cast<std::size_t>(WeekdayFromName(name).value())] = true;
  }
  if (item.days.empty()) {
    times.on_day.fill(true);
  }
  times.zone = FindTimeZone(item.zone);
  times.before_minutes = item.before;
  return times;
}

class ClockScheduleTest : public testing::TestWithParam<ScheduleCase> {};

TEST_P(ClockScheduleTest, SendsEachOccurrenceOnceAtItsInstant) {
  const ScheduleCase& item = GetParam();
  const ClockTimes times = TimesOf(item);
  ASSERT_NE(times.zone, nullptr);
  const sys_seconds start = Utc(item.start);
  OccurrenceCursor cursor(times, start);
  std::vector<int> calls = item.calls;
  for (int offset = 1; offset <= item.run_seconds; ++offset) {
    calls.push_back(offset);
  }
  std::vector<std::string> sent;
  for (const int offset : calls) {
    const sys_seconds now = start + seconds(offset);
    if (const auto due = cursor.TakeDue(now)) {
      sent.push_back(fmt::format("{:%FT%T} {} {}", now, due->minutes_left, item.at[due->at_index]));
    }
  }
  EXPECT_EQ(sent, item.sent);
}

constexpr int kDay = 24 * 60 * 60;

INSTANTIATE_TEST_SUITE_P(
    Schedules, ClockScheduleTest,
    testing::Values(ScheduleCase{"countdown across midnight, counted to Friday's time",
                                 {"00:05"},
                                 {"Fri"},
                                 "UTC",
                                 {10, 5, 0},
                                 "2026-01-01T23:00:00",
                                 2 * kDay,
                                 {},
                                 {"2026-01-01T23:55:00 10 00:05", "2026-01-02T00:00:00 5 00:05",
                                  "2026-01-02T00:05:00 0 00:05"}},
                    ScheduleCase{"Sunday only",
                                 {"12:00"},
                                 {"Sun"},
                                 "UTC",
                                 {0},
                                 "2026-01-01T00:00:00",
                                 11 * kDay,
                                 {},
                                 {"2026-01-04T12:00:00 0 12:00", "2026-01-11T12:00:00 0 12:00"}},
                    ScheduleCase{"local days of another zone",
                                 {"00:30"},
                                 {"Sun"},
                                 "America/New_York",
                                 {0},
                                 "2026-01-03T00:00:00",
                                 3 * kDay,
                                 {},
                                 {"2026-01-04T05:30:00 0 00:30"}},
                    ScheduleCase{"clocks go forward: a skipped time is the end of the gap, once",
                                 {"02:00", "02:30"},
                                 {},
                                 "Europe/Berlin",
                                 {0},
                                 "2026-03-28T00:00:00",
                                 2 * kDay,
                                 {},
                                 {"2026-03-28T01:00:00 0 02:00", "2026-03-28T01:30:00 0 02:30",
                                  "2026-03-29T01:00:00 0 02:00", "2026-03-30T00:00:00 0 02:00"}},
                    ScheduleCase{"clocks go forward under a countdown",
                                 {"03:00"},
                                 {"Sun"},
                                 "Europe/Berlin",
                                 {90, 60, 30, 0},
                                 "2026-03-28T22:00:00",
                                 kDay,
                                 {},
                                 {"2026-03-28T23:30:00 90 03:00", "2026-03-29T00:00:00 60 03:00",
                                  "2026-03-29T00:30:00 30 03:00", "2026-03-29T01:00:00 0 03:00"}},
                    ScheduleCase{"clocks go back: a time shown twice goes out at the first",
                                 {"02:30"},
                                 {},
                                 "Europe/Berlin",
                                 {0},
                                 "2026-10-24T00:00:00",
                                 3 * kDay,
                                 {},
                                 {"2026-10-24T00:30:00 0 02:30", "2026-10-25T00:30:00 0 02:30",
                                  "2026-10-26T01:30:00 0 02:30"}},
                    ScheduleCase{"clocks go back under a countdown: steps count real minutes",
                                 {"03:00"},
                                 {"Sun"},
                                 "Europe/Berlin",
                                 {90, 0},
                                 "2026-10-24T22:00:00",
                                 kDay,
                                 {},
                                 {"2026-10-25T00:30:00 90 03:00", "2026-10-25T02:00:00 0 03:00"}},
                    ScheduleCase{"steps on one instant send once, the fewest minutes left",
                                 {"06:00", "06:05"},
                                 {},
                                 "UTC",
                                 {5, 0, 5},
                                 "2026-01-01T05:50:00",
                                 20 * 60,
                                 {},
                                 {"2026-01-01T05:55:00 5 06:00", "2026-01-01T06:00:00 0 06:00",
                                  "2026-01-01T06:05:00 0 06:05"}},
                    ScheduleCase{"less than a minute late still goes out",
                                 {"06:00"},
                                 {},
                                 "UTC",
                                 {0},
                                 "2026-01-01T05:59:00",
                                 0,
                                 {119},
                                 {"2026-01-01T06:00:59 0 06:00"}},
                    ScheduleCase{"a minute late is not caught up",
                                 {"06:00"},
                                 {},
                                 "UTC",
                                 {0},
                                 "2026-01-01T05:59:00",
                                 0,
                                 {120, 121, kDay},
                                 {}},
                    ScheduleCase{"after a stall only the step still on time goes out",
                                 {"06:00"},
                                 {},
                                 "UTC",
                                 {3, 2, 1, 0},
                                 "2026-01-01T05:56:00",
                                 0,
                                 {60, 230, 231, 300},
                                 {"2026-01-01T05:57:00 3 06:00", "2026-01-01T05:59:50 1 06:00"}},
                    ScheduleCase{"an occurrence at the start goes at the first call",
                                 {"06:00"},
                                 {},
                                 "UTC",
                                 {0},
                                 "2026-01-01T06:00:00",
                                 5,
                                 {},
                                 {"2026-01-01T06:00:01 0 06:00"}}));

TEST(ClockSchedule, NothingToSendWithoutATimeADayOrAStep) {
  ClockTimes times;
  times.zone = FindTimeZone("UTC");
  times.on_day.fill(true);
  times.at_minutes = {360};
  const sys_seconds start = Utc("2026-01-01T00:00:00");
  EXPECT_FALSE(FirstOccurrenceFrom(times, start));
  times.before_minutes = {0};
  EXPECT_TRUE(FirstOccurrenceFrom(times, start));
  times.on_day.fill(false);
  EXPECT_FALSE(FirstOccurrenceFrom(times, start));
}

TEST(ClockSchedule, StepsLongerThanAWeekFindTheirTime) {
  ClockTimes times;
  times.zone = FindTimeZone("UTC");
  times.on_day[6] = true;
  times.at_minutes = {0};
  times.before_minutes = {10 * 24 * 60};
  const auto first = FirstOccurrenceFrom(times, Utc("2026-01-01T00:00:00"));
  ASSERT_TRUE(first);
  // Ten days before Sunday 2026-01-11 00:00, the first Sunday at least ten days on.
  EXPECT_EQ(first->instant, Utc("2026-01-01T00:00:00"));
}

// The cursor against the plain definition worked out by brute force: every clock time
// on every listed local day, less every step; an instant goes out once, with the fewest
// minutes left, then the earliest clock time in the configured order. Zones whose
// clocks change by an hour, half an hour, or not at all; starts on the nights they do.
TEST(ClockSchedule, AgreesWithEveryClockTimeLessEveryStep) {
  const char* const zones[] = {"UTC", "Europe/Berlin", "America/New_York", "Australia/Lord_Howe",
                               "Asia/Kathmandu"};
  const char* const starts[] = {"2026-03-28T12:00:00", "2026-10-24T12:00:00",
                                "2026-03-07T12:00:00", "2026-04-04T12:00:00",
                                "2026-10-03T12:00:00", "2026-06-15T08:17:00"};
  std::mt19937 random(27);
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  constexpr std::chrono::days kHorizon{9};
  for (int round = 0; round < 300; ++round) {
    ClockTimes times;
    for (int count = pick(1, 6); count > 0; --count) {
      times.at_minutes.push_back(pick(0, 3) == 0 ? pick(120, 180) : pick(0, 1439));
    }
    while (std::ranges::find(times.on_day, true) == times.on_day.end()) {
      for (bool& day : times.on_day) day = pick(0, 2) == 0;
    }
    for (int count = pick(1, 5); count > 0; --count) {
      times.before_minutes.push_back(pick(0, 4) == 0 ? pick(0, 3 * 24 * 60) : pick(0, 90));
    }
    times.zone = FindTimeZone(zones[pick(0, 4)]);
    ASSERT_NE(times.zone, nullptr);
    const sys_seconds start = Utc(starts[pick(0, 5)]) + seconds(pick(0, 86399));
    const sys_seconds end = start + kHorizon;

    std::map<sys_seconds, std::pair<int, std::size_t>> expected;
    const auto first_day = LocalDay(*times.zone, start) - std::chrono::days(2);
    for (auto day = first_day; day <= first_day + kHorizon + std::chrono::days(8);
         day += std::chrono::days(1)) {
      if (!times.on_day[std::chrono::weekday(day).iso_encoding() - 1]) continue;
      for (std::size_t index = 0; index < times.at_minutes.size(); ++index) {
        const sys_seconds clock_time =
            InstantOfLocalTime(*times.zone, day + std::chrono::minutes(times.at_minutes[index]));
        for (const int step : times.before_minutes) {
          const sys_seconds instant = clock_time - std::chrono::minutes(step);
          if (instant < start || instant >= end) continue;
          const auto [entry, added] = expected.try_emplace(instant, step, index);
          if (!added) entry->second = std::min(entry->second, std::make_pair(step, index));
        }
      }
    }

    OccurrenceCursor cursor(times, start);
    std::map<sys_seconds, std::pair<int, std::size_t>> sent;
    while (cursor.Next() && cursor.Next()->instant < end) {
      const auto due = cursor.TakeDue(cursor.Next()->instant);
      ASSERT_TRUE(due);
      EXPECT_TRUE(sent.try_emplace(due->instant, due->minutes_left, due->at_index).second);
    }
    ASSERT_EQ(sent, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace Bellwright
