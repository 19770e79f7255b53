#include "automatic/welcome_message.hpp"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

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

void GreetPlayer(AShooterPlayerController* player) {
  const auto& bellwright = Settings::SectionOrEmpty(ConfigDocument(), "Bellwright");
  const auto& welcome = Settings::SectionOrEmpty(bellwright, "WelcomeMessage");
  const auto message =
      Settings::ValueOr<std::string>(welcome, "Message", "Welcome to the server {0}");
  const FString text =
      FromUtf8(BuildGreetingText(message, ToUtf8(player->GetPlayerCharacterName())));
  DeliverInForm(WelcomeForm(bellwright, welcome), player, text, WelcomeColor(welcome), false);
}

}  // namespace

void SendWelcomeMessages() {
  if (!HasPendingWelcomes()) {
    return;
  }
  std::set<FString, FStringCaseInsensitiveLess> visited;
  for (const FString& unique_id : TakePendingWelcomes()) {
    if (!visited.insert(unique_id).second) {
      continue;
    }
    if (auto* player = AsaApi::GetApiUtils().FindPlayerFromUniqueNetId(unique_id)) {
      GreetPlayer(player);
    }
  }
}

}  // namespace Bellwright
