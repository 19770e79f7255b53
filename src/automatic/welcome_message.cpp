#include "automatic/welcome_message.hpp"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "automatic/greeting_text.hpp"
#include "automatic/message_form.hpp"
#include "automatic/player_tracking.hpp"
#include "config/config.hpp"
#include "config/settings.hpp"
#include "delivery/delivery.hpp"
#include "delivery/utf8.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

MessageKind WelcomeKind(const json& welcome) {
  const auto type = Settings::ValueOr<std::string>(welcome, "WelcomeMessageType", "Chat");
  if (type == "Server") {
    return MessageKind::Server;
  }
  if (type == "Notification") {
    return MessageKind::Notification;
  }
  return MessageKind::Chat;
}

MessageForm WelcomeForm(const json& bellwright, const json& welcome) {
  MessageForm form;
  form.kind = WelcomeKind(welcome);
  if (form.kind == MessageKind::Chat) {
    form.sender =
        FString(Settings::ValueOr<std::string>(bellwright, "ClientChatSenderName", "Bellwright"));
  } else if (form.kind == MessageKind::Notification) {
    form.display_scale = Settings::ValueOr(welcome, "NotificationDisplayScale", 1.0F);
    form.display_time = Settings::ValueOr(welcome, "NotificationDisplayTime", 10.0F);
    form.icon = ResolveIcon(FString(Settings::ValueOr<std::string>(welcome, "Icon_BP", "")));
  }
  return form;
}

ByteColor WelcomeColor(const json& welcome) {
  const auto& colour = Settings::SectionOrEmpty(welcome, "WelcomeMessageColour");
  const auto member = [&colour](const char* key) {
    return static_cast<int>(Settings::ValueOr<std::int64_t>(colour, key, 0));
  };
  return MakeByteColor(member("R"), member("G"), member("B"));
}

// The greeting settings. Nothing can change the configuration while a pass runs, so
// one read serves every greeting of the pass.
struct WelcomeSettings {
  std::string message;
  MessageForm form;
  ByteColor color;
};

WelcomeSettings ReadWelcomeSettings() {
  const auto& bellwright = Settings::SectionOrEmpty(ConfigDocument(), "Bellwright");
  const auto& welcome = Settings::SectionOrEmpty(bellwright, "WelcomeMessage");
  return WelcomeSettings{
      Settings::ValueOr<std::string>(welcome, "Message", "Welcome to the server {0}"),
      WelcomeForm(bellwright, welcome), WelcomeColor(welcome)};
}

void GreetPlayer(AShooterPlayerController* player, const WelcomeSettings& settings) {
  const FString text =
      FromUtf8(BuildGreetingText(settings.message, ToUtf8(player->GetPlayerCharacterName())));
  DeliverInForm(settings.form, player, text, settings.color, false);
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
