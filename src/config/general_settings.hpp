#pragma once

#include <optional>
#include <string>

#include "base/byte_color.hpp"
#include "base/plugin_name.hpp"
#include "config/setting_reader.hpp"

// The plug-in's general settings: the send commands' numbers, the hide rule and the
// sender of the plug-in's own chat lines.
namespace Bellwright {

inline constexpr const char* kDefaultChatSenderName = kPluginName;

// What bw.sendnotification takes from the configuration when its line gives no numbers.
struct NotificationDefaults {
  ByteColor colour = MakeByteColor(0, 0, 0);
  float display_scale = 0.0F;
  float display_time = 0.0F;

  friend bool operator==(const NotificationDefaults&, const NotificationDefaults&) = default;
};

struct GeneralSettings {
  // Replies of the console commands withheld from callers allowed to cheat. Lenient, as
  // a setting that cannot be read hides nothing.
  bool hide_success_replies = false;
  // The sender of the plug-in's own chat lines. Lenient.
  std::string chat_sender = kDefaultChatSenderName;
  // The send commands' numbers, read strictly: none when a value of the wrong JSON type
  // (or a missing section, for the chat and notification numbers) makes the command
  // fail. A missing section leaves the server message black.
  std::optional<ByteColor> server_colour = MakeByteColor(0, 0, 0);
  std::optional<ByteColor> chat_colour;
  std::optional<NotificationDefaults> notification;
  // This server's name in its cluster; empty for a server on its own. Lenient.
  std::string server_name;

  friend bool operator==(const GeneralSettings&, const GeneralSettings&) = default;
};

// The general section of `document` (an empty one when it is absent or not an
// object), whose welcome and storage have their own readers.
SettingValue GeneralSection(const SettingValue& document);

GeneralSettings ReadGeneralSettings(const SettingValue& document);

}  // namespace Bellwright
