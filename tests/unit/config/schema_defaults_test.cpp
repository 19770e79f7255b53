// The schema's defaults are what administrators read in the reference and what editors
// offer; the plug-in's readers keep their own. Each default in the schema must read
// exactly as the key's absence does.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_settings.hpp"
#include "config_checks/schema_text.hpp"
#include "config_reading.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

// Where a schema default lands in a configuration that lets the readers reach it.
struct Place {
  std::string_view schema_prefix;  // the schema's path up to the key
  std::string_view config_prefix;  // the configuration's pointer up to the key
  json document;                   // holding everything above the key
};

const std::vector<Place>& Places() {
  static const std::vector<Place> places = {
      {"/definitions/customCommand/properties/",
       "/CustomCommands/~1cmd/",
       {{"CustomCommands", {{"/cmd", {{"Message", "hi"}}}}}}},
      {"/definitions/timedMessage/properties/",
       "/TimedMessages/Messages/0/",
       {{"TimedMessages", {{"Messages", {json::object()}}}}}},
      {"/definitions/countdownColour/properties/",
       "/Countdown/MessageColour/",
       {{"Countdown", {{"MessageColour", json::object()}}}}},
      {"/definitions/countdownColour", "/Countdown/MessageColour", {{"Countdown", json::object()}}},
      {"/definitions/announcementList/properties/",
       "/Announcements/0/",
       {{"Announcements", {{{"Name", "List"}, {"Interval", 60}}}}}},
      {"/definitions/schedule/properties/",
       "/Schedules/0/",
       {{"Schedules", {{{"Name", "Schedule"}, {"At", {"06:00"}}}}}}},
      {"/definitions/colour/properties/",
       "/Bellwright/WelcomeMessage/WelcomeMessageColour/",
       {{"Bellwright", {{"WelcomeMessage", {{"WelcomeMessageColour", json::object()}}}}}}},
      {"/definitions/colour",
       "/Bellwright/WelcomeMessage/WelcomeMessageColour",
       {{"Bellwright", {{"WelcomeMessage", json::object()}}}}},
      {"/definitions/servers",
       "/TimedMessages/Messages/0/Servers",
       {{"TimedMessages", {{"Messages", {json::object()}}}}}},
      {"/definitions/groupList",
       "/TimedMessages/Messages/0/Only_Send_To_Permission_Groups",
       {{"TimedMessages", {{"Messages", {json::object()}}}}}},
      // MySQL, so that the server's keys are read too.
      {"/properties/Bellwright/properties/Storage/properties/",
       "/Bellwright/Storage/",
       {{"Bellwright", {{"Storage", {{"Type", "MySQL"}}}}}}},
      {"/properties/Bellwright/properties/WelcomeMessage/properties/",
       "/Bellwright/WelcomeMessage/",
       {{"Bellwright", {{"WelcomeMessage", json::object()}}}}},
      {"/properties/Bellwright/properties/", "/Bellwright/", {{"Bellwright", json::object()}}},
      {"/properties/TimedMessages/properties/",
       "/TimedMessages/",
       {{"TimedMessages", json::object()}}},
      {"/properties/Countdown/properties/", "/Countdown/", {{"Countdown", json::object()}}},
      {"/properties/", "/", json::object()},
  };
  return places;
}

void CollectDefaults(const json& node, const std::string& path,
                     std::vector<std::pair<std::string, json>>& defaults) {
  if (!node.is_object()) return;
  if (const auto found = node.find("default"); found != node.end()) {
    defaults.emplace_back(path, *found);
  }
  for (const auto& [key, value] : node.items()) {
    if (value.is_object()) CollectDefaults(value, path + "/" + key, defaults);
  }
}

TEST(SchemaDefaults, EachReadsAsTheKeysAbsence) {
  std::vector<std::pair<std::string, json>> defaults;
  CollectDefaults(json::parse(ConfigCheck::SchemaText()), "", defaults);
  ASSERT_GT(defaults.size(), 40U);
  int compared = 0;
  for (const auto& [path, value] : defaults) {
    // A missing section fails the chat and the notification command, where an empty
    // one sends them in black: the one place the schema's {} is not the absence.
    if (path == "/properties/Bellwright") continue;
    const Place* place = nullptr;
    for (const Place& candidate : Places()) {
      if (path.starts_with(candidate.schema_prefix)) {
        place = &candidate;
        break;
      }
    }
    ASSERT_NE(place, nullptr) << path << " has no place in this test";
    const std::string pointer =
        std::string(place->config_prefix) + path.substr(place->schema_prefix.size());
    const json::json_pointer at(pointer);
    json absent = place->document;
    if (absent.contains(at)) absent[at.parent_pointer()].erase(at.back());
    json with_default = place->document;
    with_default[at] = value;
    EXPECT_TRUE(SettingsOf(with_default) == SettingsOf(absent))
        << path << " defaults to " << value.dump();
    ++compared;
  }
  EXPECT_GT(compared, 30);
}

}  // namespace
}  // namespace Bellwright

namespace Bellwright {
namespace {

// The list and the schedule above must run, or their defaults would compare nothing.
TEST(SchemaDefaults, TheListAndTheScheduleHereRun) {
  for (const Place& place : Places()) {
    const AnnouncementSettings settings = SettingsOf(place.document).announcements;
    if (place.config_prefix == "/Announcements/0/") {
      EXPECT_EQ(settings.lists.size(), 1U);
    } else if (place.config_prefix == "/Schedules/0/") {
      EXPECT_EQ(settings.schedules.size(), 1U);
    }
  }
}

}  // namespace
}  // namespace Bellwright
