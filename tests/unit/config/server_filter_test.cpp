#include "config/server_filter.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_text.hpp"

namespace Bellwright {
namespace {

// One file for a cluster: each item carries the servers that have it.
std::string ClusterFile(const std::string& bellwright) {
  return R"({"Bellwright": )" + bellwright + R"(,
  "CustomCommands": {
    "/all": {"Message": "a", "MessageColor": [1, 1, 1]},
    "/island": {"Message": "i", "MessageColor": [1, 1, 1], "Servers": ["ISLAND"]},
    "/empty": {"Message": "e", "MessageColor": [1, 1, 1], "Servers": []}},
  "TimedMessages": {"Enabled": true, "Interval": 60, "Messages": [
    {"MessageToSend": "everywhere", "MessageColour": {"R": 1}},
    {"MessageToSend": "island and center", "MessageColour": {"R": 1},
     "Servers": ["island", "Center"]}]},
  "Announcements": [
    {"Name": "Center tips", "Interval": 60, "Servers": ["Center"],
     "Messages": [{"MessageToSend": "t", "MessageColour": {"R": 1}}]},
    {"Name": "Shared", "Interval": 60, "Messages": [
      {"MessageToSend": "s", "MessageColour": {"R": 1}, "Servers": ["Scorched"]},
      {"MessageToSend": "x", "MessageColour": {"R": 1}}]}],
  "Schedules": [{"Name": "Restart", "At": ["06:00"], "MessageToSend": "r",
    "MessageColour": {"R": 1}, "Servers": ["Scorched", "Island"]}]})";
}

struct Kept {
  std::vector<std::string> commands;
  std::vector<std::string> timed;
  std::vector<std::string> lists;  // "name:count of messages"
  std::vector<std::string> schedules;
};

Kept KeptBy(const ConfigSettings& settings) {
  Kept kept;
  for (const auto& command : settings.custom_commands.commands)
    kept.commands.push_back(command.name);
  for (const auto& message : settings.announcements.timed.list.messages) {
    kept.timed.push_back(message.content ? message.content->text : "?");
  }
  for (const auto& list : settings.announcements.lists) {
    kept.lists.push_back(list.name + ":" + std::to_string(list.list.messages.size()));
  }
  for (const auto& schedule : settings.announcements.schedules) {
    kept.schedules.push_back(schedule.name);
  }
  return kept;
}

TEST(ServerFilter, EachServerKeepsTheItemsThatNameIt) {
  const struct {
    const char* bellwright;
    Kept kept;
  } cases[] = {
      {R"({"ServerName": "Island"})",
       {{"/all", "/empty", "/island"},
        {"everywhere", "island and center"},
        {"Shared:1"},
        {"Restart"}}},
      {R"({"ServerName": "center"})",
       {{"/all", "/empty"},
        {"everywhere", "island and center"},
        {"Center tips:1", "Shared:1"},
        {}}},
      {R"({"ServerName": "Scorched"})",
       {{"/all", "/empty"}, {"everywhere"}, {"Shared:2"}, {"Restart"}}},
      // No name: every item with a list is left out.
      {"{}", {{"/all", "/empty"}, {"everywhere"}, {"Shared:1"}, {}}},
  };
  for (const auto& c : cases) {
    const ConfigText read = ReadConfigText(ClusterFile(c.bellwright));
    const Kept kept = KeptBy(read.settings);
    std::vector<std::string> commands = kept.commands;
    std::sort(commands.begin(), commands.end());
    EXPECT_EQ(commands, c.kept.commands) << c.bellwright;
    EXPECT_EQ(kept.timed, c.kept.timed) << c.bellwright;
    EXPECT_EQ(kept.lists, c.kept.lists) << c.bellwright;
    EXPECT_EQ(kept.schedules, c.kept.schedules) << c.bellwright;
  }
}

// A list of servers read by a server without a name is worth a warning at each list;
// a list that is no list of strings is ignored with an error, and the item kept.
TEST(ServerFilter, TheChecksSpeakOfListsThisServerCannotRead) {
  const ConfigText unnamed = ReadConfigText(ClusterFile("{}"));
  std::vector<std::string> warned;
  for (const auto& finding : unnamed.report.findings) {
    if (finding.message.find("no \"ServerName\"") != std::string::npos) {
      warned.push_back(finding.pointer);
    }
  }
  EXPECT_EQ(warned, (std::vector<std::string>{
                        "/CustomCommands/~1island/Servers", "/TimedMessages/Messages/1/Servers",
                        "/Announcements/0/Servers", "/Announcements/1/Messages/0/Servers",
                        "/Schedules/0/Servers"}));

  const ConfigText wrong = ReadConfigText(
      R"({"Bellwright": {"ServerName": "A"}, "CustomCommands": {"/c": {"Message": "m",
      "MessageColor": [1, 1, 1], "Servers": "B"}}})");
  ASSERT_EQ(wrong.settings.custom_commands.commands.size(), 1U);
  ASSERT_EQ(wrong.report.findings.size(), 1U);
  EXPECT_EQ(wrong.report.findings[0].pointer, "/CustomCommands/~1c/Servers");
  EXPECT_EQ(wrong.report.findings[0].severity, ConfigCheck::Severity::kError);
}

}  // namespace
}  // namespace Bellwright
