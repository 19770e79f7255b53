#include "config/send_settings.hpp"

#include "config/settings.hpp"

namespace Bellwright {

ByteColor ServerMessageColour(const nlohmann::json& document) {
  const nlohmann::json& section = Settings::Section(document, "Bellwright");
  return Settings::ColorFromObject(Settings::Section(section, "ServerMessageColor"));
}

ByteColor ClientChatColour(const nlohmann::json& document) {
  const nlohmann::json& section = document.at("Bellwright");
  return Settings::ColorFromObject(Settings::Section(section, "ClientChatColour"));
}

NotificationSettings ReadNotificationSettings(const nlohmann::json& document) {
  const nlohmann::json& section = document.at("Bellwright");
  NotificationSettings settings;
  settings.colour = Settings::ColorFromObject(Settings::Section(section, "NotificationColor"));
  settings.display_scale = section.value("NotificationDisplayScale", settings.display_scale);
  settings.display_time = section.value("NotificationDisplayTime", settings.display_time);
  return settings;
}

}  // namespace Bellwright
