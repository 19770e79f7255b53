#include "config/message_members.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "config_reading.hpp"

namespace Bellwright {
namespace {

// Each section spells the parts of its message its own way; a part it does not have
// is never found, even under a key that another section uses.
TEST(MessageMembers, EachSectionFindsItsOwnKeysAndNoOther) {
  const nlohmann::json every_key = {{"MessageToSend", 1},
                                    {"Message", 2},
                                    {"MessageType", 3},
                                    {"Type", 4},
                                    {"WelcomeMessageType", 5},
                                    {"MessageColour", 6},
                                    {"MessageColor", 7},
                                    {"WelcomeMessageColour", 8},
                                    {"Sender", 9},
                                    {"DisplayScale", 10},
                                    {"NotificationDisplayScale", 11},
                                    {"DisplayTime", 12},
                                    {"NotificationDisplayTime", 13},
                                    {"Icon_BP", 14}};
  const struct {
    MessageKeys keys;
    std::vector<int> found;  // text, type, colour, sender, scale, time, icon; 0: none
  } cases[] = {
      {MessageKeys::kAnnouncement, {1, 3, 6, 9, 10, 12, 14}},
      {MessageKeys::kCommand, {2, 4, 7, 9, 10, 12, 14}},
      {MessageKeys::kWelcome, {2, 5, 8, 0, 11, 13, 14}},
      {MessageKeys::kSendDefaults, {0, 0, 0, 0, 11, 13, 0}},
  };
  for (const auto& c : cases) {
    ReadingOf reading(every_key);
    const MessageMembers members = MessageMembersOf(reading.Value(), c.keys);
    std::vector<int> found;
    for (const SettingValue* member :
         {&members.text, &members.type, &members.colour, &members.sender, &members.display_scale,
          &members.display_time, &members.icon}) {
      found.push_back(member->Present() ? member->Json()->get<int>() : 0);
    }
    EXPECT_EQ(found, c.found) << static_cast<int>(c.keys);
  }
}

}  // namespace
}  // namespace Bellwright
