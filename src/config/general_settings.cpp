#include "config/general_settings.hpp"

#include "config/colour_reader.hpp"
#include "config/message_members.hpp"

namespace Bellwright {
namespace {

constexpr std::string_view kSendChatFails = "every bw.sendchat without colour numbers fails";
constexpr std::string_view kSendServerFails = "every bw.sendserver without colour numbers fails";
constexpr std::string_view kSendNotificationFails =
    "every bw.sendnotification that takes its values from the configuration fails";

// The section's colours: a wrong component fails the command as the colour does.
ColourWrongTypes Failing(std::string_view consequence) {
  return {{kError, consequence}, {kError, consequence}};
}

std::optional<NotificationDefaults> ReadNotificationNumbers(const SettingValue& section) {
  const std::optional<ByteColor> colour =
      StrictColour(section.Member("NotificationColor"), Failing(kSendNotificationFails));
  const MessageMembers members = MessageMembersOf(section, MessageKeys::kSendDefaults);
  const WrongType fails{kError, kSendNotificationFails};
  const auto scale = members.display_scale.Strict<float>(0.0F, fails);
  const auto time = members.display_time.Strict<float>(0.0F, fails);
  JudgeVisible(members.display_time, members.display_scale,
               "bw.sendnotification without its numbers");
  if (!colour || !scale || !time) {
    return std::nullopt;
  }
  return NotificationDefaults{*colour, *scale, *time};
}

}  // namespace

SettingValue GeneralSection(const SettingValue& document) {
  return document.Member("Bellwright");
}

GeneralSettings ReadGeneralSettings(const SettingValue& document) {
  GeneralSettings settings;
  const SettingValue section = GeneralSection(document);
  if (!document.IsObject()) {
    // The send commands read their section from an object only.
    settings.server_colour.reset();
    return settings;
  }
  if (!section.Present()) {
    document.AtValue(kWarning,
                     "no \"Bellwright\" section: every bw.sendchat and bw.sendnotification "
                     "without colour numbers fails, and bw.sendserver without them is black");
    return settings;
  }
  if (!section.Judge(JsonKind::kObject,
                     {kError,
                      "none of its settings is read, so bw.sendchat, bw.sendserver and "
                      "bw.sendnotification without colour numbers fail and the welcome message "
                      "stays off"})) {
    settings.server_colour.reset();
    return settings;
  }
  settings.hide_success_replies = section.Member("HideSuccessMessagesToNonAdmins")
                                      .ValueOr<bool>(false, {kError,
                                                             "it is ignored, so replies are "
                                                             "never hidden"});
  settings.chat_colour = StrictColour(section.Member("ClientChatColour"), Failing(kSendChatFails));
  settings.server_colour =
      StrictColour(section.Member("ServerMessageColor"), Failing(kSendServerFails));
  settings.notification = ReadNotificationNumbers(section);
  settings.chat_sender =
      section.Member("ClientChatSenderName")
          .ValueOr<std::string>(kDefaultChatSenderName,
                                {kError, "it is ignored, so the sender name $default is used"});
  settings.server_name =
      section.Member("ServerName")
          .ValueOr<std::string>("", {kError,
                                     "it is ignored, so this server takes no part "
                                     "in a cluster"});
  return settings;
}

}  // namespace Bellwright
