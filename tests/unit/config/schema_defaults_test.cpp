// The schema's defaults are what administrators read in the reference and what the
// checks name; the plug-in's readers keep their own. Each default in the schema must
// read exactly as the key's absence does.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.hpp"
#include "config/announcement_settings.hpp"
#include "config/countdown_settings.hpp"
#include "config/custom_command_settings.hpp"
#include "config/general_settings.hpp"
#include "config/opt_out_settings.hpp"
#include "config/send_settings.hpp"
#include "config/storage_settings_reader.hpp"
#include "config/timed_message_settings.hpp"
#include "config/welcome_settings.hpp"
#include "config_checks/schema_text.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

json Colour(ByteColor colour) {
  return json::array({colour.R, colour.G, colour.B, colour.A});
}

std::vector<std::string> Utf8(const std::vector<FString>& texts) {
  std::vector<std::string> utf8;
  for (const FString& text : texts) utf8.push_back(ToUtf8(text));
  return utf8;
}

// A strict reader's value, or "throws".
template <typename Read>
json Strictly(Read read) {
  try {
    return read();
  } catch (const json::exception&) {
    return "throws";
  }
}

json TimedEntry(const TimedMessageEntry& entry) {
  const TimedMessageContent content = entry.Content();
  const TimedNotificationLook look = entry.NotificationLook();
  return {content.text,           content.type,           content.include_groups,
          content.exclude_groups, Colour(content.colour), entry.Sender(),
          look.display_scale,     look.display_time,      look.icon};
}

json CustomCommands(const json& document) {
  json commands = json::array();
  for (const NamedCustomCommand& entry : ReadCustomCommands(document)) {
    const CustomCommand& command = entry.command;
    std::vector<FString> groups;
    for (const FString& group : command.RequiredPermissionGroups) groups.push_back(group);
    commands.push_back({ToUtf8(entry.name), ToUtf8(command.Message), command.Type,
                        ToUtf8(command.Sender), Colour(command.MessageColor), Utf8(groups),
                        command.DisplayTime, command.DisplayScale, ToUtf8(command.Icon_BP),
                        ToUtf8(command.Command_To_Execute), Utf8(command.Aliases),
                        command.CooldownTicks});
  }
  return commands;
}

json Storage(const json& document) {
  const StorageSetting setting = ReadStorageSetting(document);
  if (!setting.storage) return setting.unknown_type;
  const Storage::StorageSettings& storage = *setting.storage;
  return {storage.kind == Storage::StorageSettings::Kind::kMySql,
          storage.sqlite_path,
          storage.host,
          storage.port,
          storage.user,
          storage.password,
          storage.database};
}

json Announcements(const json& document) {
  const AnnouncementSettings settings = ReadAnnouncements(document);
  json lists = json::array();
  for (const AnnouncementListSettings& list : settings.lists) {
    const TimedMessagesSection section = TimedMessagesSection::OfList(*list.section);
    lists.push_back({list.name, list.enabled, list.interval_seconds, list.leave_out_opted_out,
                     section.Order(), section.MinPlayers(1'000'000), section.MessageCount()});
  }
  json schedules = json::array();
  for (const ScheduleSettings& schedule : settings.schedules) {
    schedules.push_back(
        {schedule.name, schedule.enabled, schedule.at_texts, schedule.at_minutes, schedule.on_day,
         schedule.zone_name, schedule.before_minutes, schedule.leave_out_opted_out,
         Strictly([&] { return TimedEntry(TimedMessageEntry(*schedule.section)); })});
  }
  return {lists, schedules};
}

// Everything the readers make of a document.
json EverySetting(const json& document) {
  const WelcomeSettings welcome = ReadWelcomeSettings(document);
  json welcome_groups = json::array();
  for (const WelcomeGroupMessage& entry : welcome.group_messages) {
    welcome_groups.push_back({entry.group, entry.message});
  }
  const TimedMessagesSection timed(document);
  const CountdownSection countdown(document);
  const CountdownLook look = countdown.Look();
  return {
      {"general",
       {ChatSenderName(document), HideSuccessMessagesToNonAdmins(document),
        NoPermissionLine(document), CooldownLine(document)}},
      {"send",
       {Strictly([&] { return Colour(ServerMessageColour(document)); }),
        Strictly([&] { return Colour(ClientChatColour(document)); }), Strictly([&] {
          const NotificationSettings settings = ReadNotificationSettings(document);
          return json{Colour(settings.colour), settings.display_scale, settings.display_time};
        })}},
      {"welcome",
       {WelcomeEnabled(document), WelcomeDelaySeconds(document), welcome.message, welcome_groups,
        welcome.type, Colour(welcome.colour), welcome.sender, welcome.display_scale,
        welcome.display_time, welcome.icon}},
      {"timed",
       {timed.Enabled(), timed.IntervalSeconds(), timed.Order(), timed.MinPlayers(1'000'000),
        timed.MessageCount(), Strictly([&] {
          return timed.MessageCount() > 0 ? TimedEntry(timed.Message(0)) : json();
        })}},
      {"custom commands", Strictly([&] { return CustomCommands(document); })},
      {"countdown",
       {countdown.Steps(), countdown.Text(), countdown.FinalText(), look.type, Colour(look.colour),
        look.sender, look.display_scale, look.display_time, look.icon}},
      {"announcements", Announcements(document)},
      {"storage", Storage(document)},
      {"opt out",
       {OptOutCommandName(document), OptOutAnswerLine(true, document),
        OptOutAnswerLine(false, document)}},
  };
}

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
    EXPECT_EQ(EverySetting(with_default), EverySetting(absent))
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
    const AnnouncementSettings settings = ReadAnnouncements(place.document);
    if (place.config_prefix == "/Announcements/0/") {
      EXPECT_EQ(settings.lists.size(), 1U);
    } else if (place.config_prefix == "/Schedules/0/") {
      EXPECT_EQ(settings.schedules.size(), 1U);
    }
  }
}

}  // namespace
}  // namespace Bellwright
