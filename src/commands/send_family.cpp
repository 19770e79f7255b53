#include "commands/send_family.hpp"

#include <optional>
#include <stdexcept>

#include "commands/command_line.hpp"
#include "commands/numeric_text.hpp"
#include "commands/trailing_numbers.hpp"
#include "config/config.hpp"
#include "config/settings.hpp"
#include "delivery/delivery.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {
namespace {

// Everything the delivery needs, settled before anything is sent.
struct Outgoing {
  FString message;
  FString sender;
  NotificationNumbers numbers;  // only the colour counts for chat and server
  UObject* icon = nullptr;
  AShooterPlayerController* player = nullptr;
  bool to_everyone = false;
};

const char* ColourKey(SendKind kind) {
  switch (kind) {
    case SendKind::Chat:
      return "ClientChatColour";
    case SendKind::Server:
      return "ServerMessageColor";
    case SendKind::Notification:
      return "NotificationColor";
  }
  return "";
}

// The server message reads a missing "Bellwright" section as empty (colour 0, 0,
// 0); the chat line and the notification need the section to be there.
const nlohmann::json& SendSection(SendKind kind) {
  if (kind == SendKind::Server) {
    return Settings::Section(ConfigDocument(), "Bellwright");
  }
  return ConfigDocument().at("Bellwright");
}

NotificationNumbers ConfiguredNumbers(SendKind kind) {
  const nlohmann::json& section = SendSection(kind);
  NotificationNumbers numbers;
  numbers.color = Settings::ColorFromObject(Settings::Section(section, ColourKey(kind)));
  if (kind == SendKind::Notification) {
    numbers.display_scale = section.value("NotificationDisplayScale", 0.0F);
    numbers.display_time = section.value("NotificationDisplayTime", 0.0F);
  }
  return numbers;
}

// The numbers the line gives, if any. Throws the conversion's logic_error for a
// number that passed its test but does not convert.
std::optional<NotificationNumbers> GivenNumbers(const SendCommandRules& rules,
                                                const CommandLine& line) {
  if (rules.kind != SendKind::Notification) {
    const auto color = GivenColor(line);
    if (!color) {
      return std::nullopt;
    }
    NotificationNumbers numbers;
    numbers.color = *color;
    return numbers;
  }
  return rules.numbers == NumberRule::TestedReplyWhenBad ? GivenNotificationNumbersTested(line)
                                                         : GivenNotificationNumbersUntested(line);
}

// A trailing word that is not a number names the icon, even when it is the last
// word of the message itself.
UObject* IconFromLine(const CommandLine& line) {
  const FString icon_path = line.TokenFromEnd(1);
  if (icon_path.IsEmpty() || IsNumericText(icon_path)) {
    return nullptr;
  }
  return ResolveIcon(icon_path);
}

AShooterPlayerController* FindTarget(const FString& target) {
  if (target.IsEmpty()) {
    return nullptr;
  }
  return AsaApi::GetApiUtils().FindPlayerFromUniqueNetId(target);
}

// Fills in the rest once the numbers are settled; false when the command must
// fail before delivery.
bool SettleDelivery(SendKind kind, const CommandLine& line, Outgoing& outgoing) {
  const FString target = line.Target();
  outgoing.message = line.Message();
  outgoing.player = FindTarget(target);
  outgoing.to_everyone = IsEveryoneTarget(target);
  if (kind == SendKind::Notification) {
    // An empty message and a missing player are left to the delivery.
    outgoing.icon = IconFromLine(line);
    return true;
  }
  if (kind == SendKind::Chat) {
    outgoing.sender = line.Sender();
  }
  return (outgoing.to_everyone || outgoing.player != nullptr) && !outgoing.message.IsEmpty();
}

bool Deliver(SendKind kind, const Outgoing& outgoing) {
  const NotificationNumbers& numbers = outgoing.numbers;
  switch (kind) {
    case SendKind::Chat:
      return DeliverChatMessage(outgoing.player, outgoing.message, outgoing.sender, numbers.color,
                                outgoing.to_everyone);
    case SendKind::Server:
      return DeliverServerMessage(outgoing.player, outgoing.message, numbers.color,
                                  outgoing.to_everyone);
    case SendKind::Notification:
      return DeliverNotification(outgoing.player, outgoing.message, numbers.color,
                                 numbers.display_time, numbers.display_scale, outgoing.icon,
                                 outgoing.to_everyone);
  }
  return false;
}

}  // namespace

void RunSendCommand(const SendCommandRules& rules, const FString& command_line,
                    const SendReply& reply) {
  const CommandLine line(command_line);
  Outgoing outgoing;
  try {
    std::optional<NotificationNumbers> given;
    try {
      given = GivenNumbers(rules, line);
    } catch (const std::logic_error&) {
      reply(false, FString(rules.bad_number_reply));
      return;
    }
    outgoing.numbers = given ? *given : ConfiguredNumbers(rules.kind);
    if (!SettleDelivery(rules.kind, line, outgoing)) {
      reply(false, FString(kSendFailed));
      return;
    }
  } catch (const std::exception&) {
    // A configuration the commands cannot read (a section or colour of the wrong
    // JSON type) fails the command instead of leaving it half done.
    reply(false, FString(kSendFailed));
    return;
  }
  if (!Deliver(rules.kind, outgoing)) {
    reply(false, FString(kSendFailed));
    return;
  }
  reply(true, FString(outgoing.to_everyone ? kSentToEveryone : kSentToPlayer));
}

}  // namespace Bellwright
