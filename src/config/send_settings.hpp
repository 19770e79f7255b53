#pragma once

#include <nlohmann/json.hpp>

#include "base/byte_color.hpp"
#include "config/config.hpp"

// The configured numbers of the send commands, for a command line that gives none.
// Every read is strict: a section or a value of the wrong JSON type throws the
// library's error, which fails the command.
namespace Bellwright {

// "Bellwright" -> "ServerMessageColor"; a missing "Bellwright" section reads as
// empty (black).
ByteColor ServerMessageColour(const nlohmann::json& document = ConfigDocument());

// "Bellwright" -> "ClientChatColour"; the section must be there.
ByteColor ClientChatColour(const nlohmann::json& document = ConfigDocument());

struct NotificationSettings {
  ByteColor colour = MakeByteColor(0, 0, 0);
  float display_scale = 0.0F;
  float display_time = 0.0F;
};

// "Bellwright" -> "NotificationColor", "NotificationDisplayScale",
// "NotificationDisplayTime"; the section must be there.
NotificationSettings ReadNotificationSettings(const nlohmann::json& document = ConfigDocument());

}  // namespace Bellwright
