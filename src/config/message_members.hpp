#pragma once

#include "config/setting_reader.hpp"

// The parts a configured message is made of, each section's own way of naming them: the
// announcements and the countdown, the custom commands, the welcome and the send
// commands' defaults share the parts, not the spelling (the keys mix "Colour" and
// "Color", the general sections prefix a notification's numbers).
namespace Bellwright {

enum class MessageKeys { kAnnouncement, kCommand, kWelcome, kSendDefaults };

// The types a message is shown as, written exactly so (the welcome takes all but the
// client's chat line); the readers read any other all the same.
inline constexpr std::string_view kMessageTypes[] = {"Chat", "Client", "Server", "Notification"};

// The members of `owner` that make its message; a part a section does not have is
// absent. Each section's reader takes them with its own strictness and defaults.
struct MessageMembers {
  SettingValue text;
  SettingValue type;
  SettingValue colour;
  SettingValue sender;
  SettingValue display_scale;
  SettingValue display_time;
  SettingValue icon;
};

MessageMembers MessageMembersOf(const SettingValue& owner, MessageKeys keys);

}  // namespace Bellwright
