#include "config/announcement_settings.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/schedule_fields.hpp"
#include "config_reading.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

template <typename Items>
std::vector<std::string> Names(const Items& items) {
  std::vector<std::string> names;
  for (const auto& item : items) {
    names.push_back(item.name);
  }
  return names;
}

TEST(AnnouncementSettings, OnlyListsWithANameOfTheirOwnAndAnIntervalRun) {
  const json document = json::parse(R"({"Announcements": [
    {"Name": "Tips", "Interval": 60.9},
    {"Name": "TIPS", "Interval": 60},
    {"Interval": 60},
    {"Name": "", "Interval": 60},
    {"Name": 5, "Interval": 60},
    {"Name": "Fast", "Interval": 0.5},
    {"Name": "Quoted", "Interval": "60"},
    {"Name": "Boolean", "Interval": true},
    {"Name": "Resting", "Enabled": false, "Interval": 5},
    {"Name": "Quoted switch", "Enabled": "true", "Interval": 5, "OptOut": "no"},
    "not a list",
    {"Name": "Everyone", "Interval": 5, "OptOut": false},
    {"Name": "TIMED", "Interval": 5}, {"Name": "All", "Interval": 5},
    {"Name": "Welcome", "Interval": 5}, {"Name": "firstJoin", "Interval": 5},
    {"Name": "Two\nlines", "Interval": 5}, {"Name": "Nul\u0000", "Interval": 5},
    {"Name": "C1\u0085", "Interval": 5}
  ], "Schedules": [{"Name": "tips", "At": ["06:00"]}, {"Name": "Fast", "At": ["06:00"]},
                   {"Name": "all", "At": ["06:00"]}]})");
  const AnnouncementSettings settings = SettingsOf(document).announcements;
  EXPECT_EQ(Names(settings.lists),
            (std::vector<std::string>{"Tips", "Resting", "Quoted switch", "Everyone"}));
  EXPECT_EQ(settings.lists[0].interval_seconds, 60);
  EXPECT_TRUE(settings.lists[0].enabled);
  EXPECT_FALSE(settings.lists[1].enabled);
  EXPECT_FALSE(settings.lists[2].enabled);
  EXPECT_TRUE(settings.lists[2].leave_out_opted_out);
  EXPECT_FALSE(settings.lists[3].leave_out_opted_out);
  // Its turns read the first item, which sets no order, minimum or messages.
  EXPECT_EQ(settings.lists[0].list, MessageList{});
  // A list that does not run still takes its name: the schedule "Fast" is left out. The
  // words of the commands and names with control characters are no list's or schedule's.
  EXPECT_TRUE(Names(settings.schedules).empty());
}

TEST(AnnouncementSettings, SchedulesKeepTheirUsableEntries) {
  const json document = json::parse(R"({"Schedules": [
    {"Name": "Restart", "At": ["6:00", "06:00", 7, "23:59"], "Days": ["Sun", "sun", "Mon"],
     "TimeZone": "Europe/Berlin", "Before": [15, -1, 1.5, 5.0, "5", 0], "OptOut": true},
    {"Name": "Defaults", "At": ["12:00"]},
    {"Name": "No time", "At": ["noon"]},
    {"Name": "No day", "At": ["12:00"], "Days": []},
    {"Name": "No step", "At": ["12:00"], "Before": [-5]},
    {"Name": "Zone not looked up here", "At": ["12:00"], "TimeZone": "Europe/Berln"},
    {"Name": "Days not a list", "At": ["12:00"], "Days": "Sun"},
    {"Name": "Zone not a name", "At": ["12:00"], "TimeZone": 1},
    {"Name": "Without At"}
  ]})");
  const AnnouncementSettings settings = SettingsOf(document).announcements;
  ASSERT_EQ(Names(settings.schedules),
            (std::vector<std::string>{"Restart", "Defaults", "Zone not looked up here"}));
  const ScheduleSettings& restart = settings.schedules[0];
  EXPECT_EQ(restart.times.at_texts, (std::vector<std::string>{"06:00", "23:59"}));
  EXPECT_EQ(restart.times.at_minutes, (std::vector<int>{360, 1439}));
  EXPECT_EQ(restart.times.on_day,
            (std::array<bool, 7>{true, false, false, false, false, false, true}));
  EXPECT_EQ(restart.times.before_minutes, (std::vector<int>{15, 5, 0}));
  EXPECT_EQ(restart.times.zone_name, "Europe/Berlin");
  EXPECT_TRUE(restart.leave_out_opted_out);
  const ScheduleSettings& defaults = settings.schedules[1];
  EXPECT_EQ(defaults.times.on_day, (std::array<bool, 7>{true, true, true, true, true, true, true}));
  EXPECT_EQ(defaults.times.before_minutes, std::vector<int>{0});
  EXPECT_EQ(defaults.times.zone_name, "UTC");
  EXPECT_FALSE(defaults.leave_out_opted_out);
  EXPECT_TRUE(defaults.enabled);
}

// However large the file, what runs stays within the limits: the first lists and
// schedules, and in each schedule its first usable clock times and steps.
TEST(AnnouncementSettings, ListsSchedulesTimesAndStepsStopAtTheirLimits) {
  json document = {{"Announcements", json::array()}, {"Schedules", json::array()}};
  for (std::size_t index = 0; index <= kMostAnnouncementLists; ++index) {
    document["Announcements"].push_back(
        {{"Name", "List " + std::to_string(index)}, {"Interval", 60}});
  }
  json at = json::array({"bad"});
  for (int minute = 0; minute < 1500; ++minute) {
    at.push_back(fmt::format("{:02}:{:02}", minute / 60 % 24, minute % 60));
  }
  json before = json::array({-1});
  for (int step = 0; step < 70; ++step) {
    before.push_back(step);
  }
  document["Schedules"].push_back({{"Name", "Dense"}, {"At", at}, {"Before", before}});
  for (std::size_t index = 1; index <= kMostSchedules; ++index) {
    document["Schedules"].push_back(
        {{"Name", "Schedule " + std::to_string(index)}, {"At", {"06:00"}}});
  }
  const AnnouncementSettings settings = SettingsOf(document).announcements;
  EXPECT_EQ(settings.lists.size(), kMostAnnouncementLists);
  ASSERT_EQ(settings.schedules.size(), kMostSchedules);
  EXPECT_EQ(settings.schedules.back().name, "Schedule " + std::to_string(kMostSchedules - 1));
  const ScheduleTimes& dense = settings.schedules.front().times;
  EXPECT_EQ(dense.at_minutes.size(), kMostClockTimes);
  EXPECT_EQ(dense.at_texts.front(), "00:00");
  EXPECT_EQ(dense.before_minutes.size(), kMostCountdownSteps);
  EXPECT_EQ(dense.before_minutes.back(), static_cast<int>(kMostCountdownSteps) - 1);
}

TEST(AnnouncementSettings, AConfigurationWithoutThemHasNone) {
  for (const char* text : {"{}", "null", R"({"Announcements": {}, "Schedules": "x"})"}) {
    const AnnouncementSettings settings = SettingsOf(json::parse(text)).announcements;
    EXPECT_TRUE(settings.lists.empty()) << text;
    EXPECT_TRUE(settings.schedules.empty()) << text;
  }
}

}  // namespace
}  // namespace Bellwright
