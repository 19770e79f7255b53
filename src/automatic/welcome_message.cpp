#include "automatic/welcome_message.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "automatic/greeting_text.hpp"
#include "automatic/welcome_queue.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "delivery/delivery.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host/permissions.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

// Any type name but "Server" and "Notification" gives the chat line.
MessageKind WelcomeKind(const json& welcome) {
  const auto type = Settings::ValueOr<std::string>(welcome, "WelcomeMessageType", "Chat");
  return type == "Server" || type == "Notification" ? *MessageKindFromTypeName(type)
                                                    : MessageKind::kChat;
}

MessageStyle WelcomeStyle(MessageKind kind, const json& bellwright, const json& welcome) {
  MessageStyle style;
  style.color =
      Settings::ColorFromObjectOr(Settings::SectionOrEmpty(welcome, "WelcomeMessageColour"));
  if (kind == MessageKind::kChat) {
    style.sender =
        FromUtf8(Settings::ValueOr<std::string>(bellwright, "ClientChatSenderName", "Bellwright"));
  } else if (kind == MessageKind::kNotification) {
    style.display_scale = Settings::ValueOr(welcome, "NotificationDisplayScale", 1.0F);
    style.display_time = Settings::ValueOr(welcome, "NotificationDisplayTime", 10.0F);
    style.icon = ResolveIcon(FromUtf8(Settings::ValueOr<std::string>(welcome, "Icon_BP", "")));
  }
  return style;
}

// A welcome text for the members of one permission group.
struct GroupGreeting {
  FString group;
  GreetingTemplate message;
};

// The greeting settings. Nothing can change the configuration while a pass runs, so
// one read serves every greeting of the pass.
struct WelcomeSettings {
  GreetingTemplate message{""};
  std::vector<GroupGreeting> group_messages;  // asked in this order
  MessageKind kind = MessageKind::kChat;
  MessageStyle style;
};

// Entries that are not an object with a string "Group" and a string "Message" are
// skipped, as is the whole list when it is not an array.
std::vector<GroupGreeting> ReadGroupGreetings(const json& welcome) {
  std::vector<GroupGreeting> greetings;
  const auto list = welcome.find("GroupMessages");
  if (list == welcome.end() || !list->is_array()) {
    return greetings;
  }
  for (const json& entry : *list) {
    if (!entry.is_object()) {
      continue;
    }
    const auto group = entry.find("Group");
    const auto message = entry.find("Message");
    if (group != entry.end() && group->is_string() && message != entry.end() &&
        message->is_string()) {
      greetings.push_back(
          {FromUtf8(group->get<std::string>()), GreetingTemplate(message->get<std::string>())});
    }
  }
  return greetings;
}

WelcomeSettings ReadWelcomeSettings() {
  const auto& bellwright = Settings::SectionOrEmpty(ConfigDocument(), "Bellwright");
  const auto& welcome = Settings::SectionOrEmpty(bellwright, "WelcomeMessage");
  WelcomeSettings settings;
  settings.message = GreetingTemplate(
      Settings::ValueOr<std::string>(welcome, "Message", "Welcome to the server {0}"));
  settings.group_messages = ReadGroupGreetings(welcome);
  settings.kind = WelcomeKind(welcome);
  settings.style = WelcomeStyle(settings.kind, bellwright, welcome);
  return settings;
}

// The text of the first listed group the player is in, one query per group asked;
// the welcome's own text when none matches.
const GreetingTemplate& MessageFor(AShooterPlayerController* player,
                                   const WelcomeSettings& settings) {
  if (settings.group_messages.empty()) {
    return settings.message;
  }
  const FString unique_id = player->GetUniqueNetIdAsString();
  for (const GroupGreeting& greeting : settings.group_messages) {
    if (Permissions::IsPlayerInGroup(unique_id, greeting.group)) {
      return greeting.message;
    }
  }
  return settings.message;
}

void GreetPlayer(AShooterPlayerController* player, const WelcomeSettings& settings) {
  const GreetingTemplate& message = MessageFor(player, settings);
  const int player_count = message.NamesPlayerCount() ? ConnectedPlayerCount() : 0;
  const FString name = PlayerChosenText(player->GetPlayerCharacterName(), settings.kind);
  const FString text = FromUtf8(message.Build(ToUtf8(name), player_count));
  Deliver(settings.kind, text, settings.style, Recipient::Player(player));
}

}  // namespace

void SendWelcomeMessages() {
  if (!HasPendingWelcomes()) {
    return;
  }
  std::optional<WelcomeSettings> settings;
  // Ids equal ignoring case find the same player, so greeting each player found once
  // greets each distinct id once.
  std::vector<AShooterPlayerController*> greeted;
  for (const FString& unique_id : TakePendingWelcomes()) {
    auto* player = AsaApi::GetApiUtils().FindPlayerFromUniqueNetId(unique_id);
    if (player == nullptr || std::find(greeted.begin(), greeted.end(), player) != greeted.end()) {
      continue;
    }
    greeted.push_back(player);
    if (!settings) {
      settings = ReadWelcomeSettings();
    }
    GreetPlayer(player, *settings);
  }
}

}  // namespace Bellwright
