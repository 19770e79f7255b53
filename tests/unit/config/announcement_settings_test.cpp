#include "config/announcement_settings.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

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
    {"Name": "Everyone", "Interval": 5, "OptOut": false}
  ], "Schedules": [{"Name": "tips", "At": ["06:00"]}, {"Name": "Fast", "At": ["06:00"]}]})");
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
  // A list that does not run still takes its name: the schedule "Fast" is left out.
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
    {"Name": "Unknown zone", "At": ["12:00"], "TimeZone": "Europe/Berln"},
    {"Name": "Days not a list", "At": ["12:00"], "Days": "Sun"},
    {"Name": "Zone not a name", "At": ["12:00"], "TimeZone": 1},
    {"Name": "Without At"}
  ]})");
  const AnnouncementSettings settings = SettingsOf(document).announcements;
  ASSERT_EQ(Names(settings.schedules), (std::vector<std::string>{"Restart", "Defaults"}));
  const ScheduleSettings& restart = settings.schedules[0];
  EXPECT_EQ(restart.times.at_texts, (std::vector<std::string>{"06:00", "23:59"}));
  EXPECT_EQ(restart.times.at_minutes, (std::vector<int>{360, 1439}));
  EXPECT_EQ(restart.times.on_day,
            (std::array<bool, 7>{true, false, false, false, false, false, true}));
  EXPECT_EQ(restart.times.before_minutes, (std::vector<int>{15, 5, 0}));
  EXPECT_EQ(restart.times.zone, FindTimeZone("Europe/Berlin"));
  EXPECT_TRUE(restart.leave_out_opted_out);
  const ScheduleSettings& defaults = settings.schedules[1];
  EXPECT_EQ(defaults.times.on_day, (std::array<bool, 7>{true, true, true, true, true, true, true}));
  EXPECT_EQ(defaults.times.before_minutes, std::vector<int>{0});
  EXPECT_EQ(defaults.times.zone, FindTimeZone("UTC"));
  EXPECT_FALSE(defaults.leave_out_opted_out);
  EXPECT_TRUE(defaults.enabled);
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
