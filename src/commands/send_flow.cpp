#include "commands/send_flow.hpp"

#include <exception>
#include <optional>

#include "commands/command_line.hpp"
#include "commands/numbers.hpp"
#include "commands/trailing_numbers.hpp"
#include "config/config.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {
namespace {

using Outcome = TrailingNumbers<NotificationNumbers>::Outcome;

// Everything the delivery needs, settled before anything is sent.
struct Outgoing {
  FString message;
  MessageStyle style;
  Recipient recipient = Recipient::Everyone();
};

// None when the configuration cannot give them (a section or colour of the wrong JSON
// type): the command fails instead of being left half done.
std::optional<NotificationNumbers> ConfiguredNumbers(MessageKind kind) {
  const GeneralSettings& general = LiveSettings().general;
  const std::optional<ByteColor>& colour =
      kind == MessageKind::kServer ? general.server_colour : general.chat_colour;
  if (kind == MessageKind::kNotification) {
    if (!general.notification) {
      return std::nullopt;
    }
    return NotificationNumbers{general.notification->display_scale,
                               general.notification->display_time, general.notification->colour};
  }
  if (!colour) {
    return std::nullopt;
  }
  return NotificationNumbers{0.0F, 0.0F, *colour};
}

// The numbers the line gives, widened to the notification's five for every kind.
TrailingNumbers<NotificationNumbers> GivenNumbers(const SendCommandRules& rules,
                                                  const CommandLine& line) {
  if (rules.kind != MessageKind::kNotification) {
    const auto color = GivenColor(line);
    using ColorOutcome = TrailingNumbers<ByteColor>::Outcome;
    switch (color.outcome) {
      case ColorOutcome::kNotGiven:
        return {};
      case ColorOutcome::kUnconvertible:
        return {Outcome::kUnconvertible, {}};
      case ColorOutcome::kGiven:
        return {Outcome::kGiven, NotificationNumbers{0.0F, 0.0F, color.numbers}};
    }
  }
  return rules.numbers == NumberRule::kTestedReplyWhenBad ? GivenNotificationNumbersTested(line)
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
bool SettleDelivery(MessageKind kind, const CommandLine& line, Outgoing& outgoing) {
  const FString target = line.Target();
  outgoing.message = line.Message();
  AShooterPlayerController* player = FindTarget(target);
  const bool to_everyone = IsEveryoneTarget(target);
  outgoing.recipient = to_everyone ? Recipient::Everyone() : Recipient::Player(player);
  if (kind == MessageKind::kNotification) {
    // An empty message and a missing player are left to the delivery.
    outgoing.style.icon = IconFromLine(line);
    return true;
  }
  if (kind == MessageKind::kChat) {
    outgoing.style.sender = line.Sender();
  }
  return (to_everyone || player != nullptr) && !outgoing.message.IsEmpty();
}

void ApplyNumbers(const NotificationNumbers& numbers, MessageStyle& style) {
  style.color = numbers.color;
  style.display_scale = numbers.display_scale;
  style.display_time = numbers.display_time;
}

}  // namespace

void RunSendCommand(const SendCommandRules& rules, const FString& command_line,
                    const SendReply& reply) {
  const CommandLine line(command_line);
  Outgoing outgoing;
  try {
    const auto given = GivenNumbers(rules, line);
    if (given.outcome == Outcome::kUnconvertible) {
      reply(SendOutcome::kFailed, FString(rules.bad_number_reply));
      return;
    }
    const std::optional<NotificationNumbers> numbers =
        given.outcome == Outcome::kGiven ? given.numbers : ConfiguredNumbers(rules.kind);
    if (!numbers) {
      reply(SendOutcome::kFailed, FString(kSendFailed));
      return;
    }
    ApplyNumbers(*numbers, outgoing.style);
    if (!SettleDelivery(rules.kind, line, outgoing)) {
      reply(SendOutcome::kFailed, FString(kSendFailed));
      return;
    }
  } catch (const std::exception&) {
    // A line the commands cannot read fails the command instead of leaving it half done.
    reply(SendOutcome::kFailed, FString(kSendFailed));
    return;
  }
  if (!Deliver(rules.kind, outgoing.message, outgoing.style, outgoing.recipient)) {
    reply(SendOutcome::kFailed, FString(kSendFailed));
    return;
  }
  reply(SendOutcome::kSent,
        FString(outgoing.recipient.IsEveryone() ? kSentToEveryone : kSentToPlayer));
}

}  // namespace Bellwright
