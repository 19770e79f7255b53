#include "config/message_members.hpp"

#include <array>
#include <string_view>

namespace Bellwright {
namespace {

// text, type, colour, sender, display scale, display time, icon; empty: none.
using KeyRow = std::array<std::string_view, 7>;

constexpr KeyRow kAnnouncementKeys = {"MessageToSend", "MessageType", "MessageColour", "Sender",
                                      "DisplayScale",  "DisplayTime", "Icon_BP"};
constexpr KeyRow kCommandKeys = {"Message",      "Type",        "MessageColor", "Sender",
                                 "DisplayScale", "DisplayTime", "Icon_BP"};
constexpr KeyRow kWelcomeKeys = {"Message", "WelcomeMessageType",       "WelcomeMessageColour",
                                 "",        "NotificationDisplayScale", "NotificationDisplayTime",
                                 "Icon_BP"};
constexpr KeyRow kSendDefaultKeys = {
    "", "", "", "", "NotificationDisplayScale", "NotificationDisplayTime", ""};

const KeyRow& RowOf(MessageKeys keys) {
  switch (keys) {
    case MessageKeys::kAnnouncement:
      return kAnnouncementKeys;
    case MessageKeys::kCommand:
      return kCommandKeys;
    case MessageKeys::kWelcome:
      return kWelcomeKeys;
    case MessageKeys::kSendDefaults:
      break;
  }
  return kSendDefaultKeys;
}

}  // namespace

MessageMembers MessageMembersOf(const SettingValue& owner, MessageKeys keys) {
  const KeyRow& row = RowOf(keys);
  const auto member = [&owner](std::string_view key) {
    return key.empty() ? SettingValue(nullptr, owner.Pointer(), owner.Findings())
                       : owner.Member(key);
  };
  return {member(row[0]), member(row[1]), member(row[2]), member(row[3]),
          member(row[4]), member(row[5]), member(row[6])};
}

}  // namespace Bellwright
