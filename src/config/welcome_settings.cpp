#include "config/welcome_settings.hpp"

#include <limits>

#include "config/settings.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

const json& WelcomeSection(const json& document) {
  return Settings::SectionOrEmpty(BellwrightSection(document), "WelcomeMessage");
}

std::vector<WelcomeGroupMessage> ReadGroupMessages(const json& welcome) {
  std::vector<WelcomeGroupMessage> messages;
  const auto list = welcome.find("GroupMessages");
  if (list == welcome.end() || !list->is_array()) {
    return messages;
  }
  for (const json& entry : *list) {
    if (!entry.is_object()) {
      continue;
    }
    const auto group = entry.find("Group");
    const auto message = entry.find("Message");
    if (group != entry.end() && group->is_string() && message != entry.end() &&
        message->is_string()) {
      messages.push_back({group->get<std::string>(), message->get<std::string>()});
    }
  }
  return messages;
}

}  // namespace

bool WelcomeEnabled(const json& document) {
  return Settings::ValueOr(WelcomeSection(document), "EnableWelcomeMessage", false);
}

int WelcomeDelaySeconds(const json& document) {
  return static_cast<int>(Settings::WholeNumberOr(WelcomeSection(document), "DelaySeconds",
                                                  kDefaultWelcomeDelaySeconds, 0,
                                                  std::numeric_limits<int>::max()));
}

std::string FirstJoinMessage(const json& document) {
  return Settings::ValueOr<std::string>(WelcomeSection(document), "FirstJoinMessage", "");
}

WelcomeSettings ReadWelcomeSettings(const json& document) {
  const json& welcome = WelcomeSection(document);
  WelcomeSettings settings;
  settings.message = Settings::ValueOr(welcome, "Message", settings.message);
  settings.group_messages = ReadGroupMessages(welcome);
  settings.first_join_message = FirstJoinMessage(document);
  settings.type = Settings::ValueOr(welcome, "WelcomeMessageType", settings.type);
  settings.colour =
      Settings::ColorFromObjectOr(Settings::SectionOrEmpty(welcome, "WelcomeMessageColour"));
  settings.sender = ChatSenderName(document);
  settings.display_scale =
      Settings::ValueOr(welcome, "NotificationDisplayScale", settings.display_scale);
  settings.display_time =
      Settings::ValueOr(welcome, "NotificationDisplayTime", settings.display_time);
  settings.icon = Settings::ValueOr(welcome, "Icon_BP", settings.icon);
  return settings;
}

}  // namespace Bellwright
