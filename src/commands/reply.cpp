#include "commands/reply.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "base/plugin_messaging.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host/messaging.hpp"

namespace Bellwright {
namespace {

// A setting that cannot be read hides nothing: an administrator who broke the
// file should still see what the commands answer.
bool HideRuleEnabled() {
  return LiveSettings().general.hide_success_replies;
}

bool CallerMayCheat(APlayerController* caller) {
  AShooterGameMode* game_mode = AsaApi::GetApiUtils().GetShooterGameMode();
  return game_mode != nullptr &&
         game_mode->IsPlayerAllowedToCheat(static_cast<AShooterPlayerController*>(caller));
}

}  // namespace

void ReplyUnlessHidden(APlayerController* caller, FLinearColor color, const FString& text) {
  if (HideRuleEnabled() && CallerMayCheat(caller)) {
    return;
  }
  ReplyAlways(caller, color, text);
}

void ReplyAlways(APlayerController* caller, FLinearColor color, const FString& text) {
  if (caller == nullptr) {
    return;
  }
  const auto messaging = PluginMessaging();
  if (messaging) {
    messaging->SendServerMessage(static_cast<AShooterPlayerController*>(caller), color, text);
  }
}

FString ReplyText(const std::vector<std::string>& lines) {
  return FromUtf8(fmt::format("{}", fmt::join(lines, "\n")));
}

void ReplyOverRcon(RCONClientConnection* connection, const RCONPacket* packet, FString text) {
  connection->SendMessage(packet->Id, 0, text);
}

}  // namespace Bellwright
