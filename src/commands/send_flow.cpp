#include "commands/send_flow.hpp"

#include <fmt/format.h>

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.hpp"
#include "commands/command_line.hpp"
#include "commands/numbers.hpp"
#include "commands/trailing_numbers.hpp"
#include "config/config.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "opt_out/cluster_link.hpp"

namespace Bellwright {
namespace {

using Outcome = TrailingNumbers<NotificationNumbers>::Outcome;

// Everything the delivery needs, settled before anything is sent.
struct Outgoing {
  FString message;
  MessageStyle style;
  Recipient recipient = Recipient::Everyone();
  // Everyone here and on every other server of the cluster.
  bool cluster = false;
  FString icon_path;
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
FString IconPathFromLine(const CommandLine& line) {
  FString icon_path = line.TokenFromEnd(1);
  return IsNumericText(icon_path) ? FString() : icon_path;
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
  outgoing.cluster = IsClusterTarget(target);
  const bool to_everyone = IsEveryoneTarget(target) || outgoing.cluster;
  AShooterPlayerController* player = outgoing.cluster ? nullptr : FindTarget(target);
  outgoing.recipient = to_everyone ? Recipient::Everyone() : Recipient::Player(player);
  if (kind == MessageKind::kNotification) {
    // An empty message and a missing player are left to the delivery.
    outgoing.icon_path = IconPathFromLine(line);
    outgoing.style.icon = outgoing.icon_path.IsEmpty() ? nullptr : ResolveIcon(outgoing.icon_path);
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

FString Failed(std::string_view reason) {
  return FString(fmt::format("{}: {}", kSendFailed, reason));
}

// Why a message cannot go to every server, checked before anything is delivered.
std::optional<std::string> ClusterObstacle(const Outgoing& outgoing) {
  if (auto refusal = ClusterRefusal()) {
    return refusal;
  }
  if (ToUtf8(outgoing.message).size() > kLongestClusterText) {
    return fmt::format(
        "the text is longer than the {} bytes of UTF-8 a message for every "
        "server may carry",
        kLongestClusterText);
  }
  return std::nullopt;
}

ClusterDelivery ForCluster(MessageKind kind, const Outgoing& outgoing) {
  return {kind,
          ToUtf8(outgoing.message),
          ToUtf8(outgoing.style.sender),
          outgoing.style.color,
          outgoing.style.display_scale,
          outgoing.style.display_time,
          ToUtf8(outgoing.icon_path)};
}

// Delivered here first, as to everyone; then stored for the other servers.
void SendToEveryServer(MessageKind kind, const Outgoing& outgoing, const SendReply& reply) {
  if (!Deliver(kind, outgoing.message, outgoing.style, outgoing.recipient)) {
    reply(SendOutcome::kFailed, FString(kSendFailed));
    return;
  }
  const ClusterSending sending = SendToCluster(ForCluster(kind, outgoing));
  if (!sending.queued) {
    reply(SendOutcome::kFailed, FString(fmt::format("{} here, but not to the other servers: {}",
                                                    kSentToEveryone, sending.reply)));
    return;
  }
  reply(SendOutcome::kSent, FString(fmt::format("{}; {}", kSentToEveryone, sending.reply)));
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
  if (outgoing.cluster) {
    if (const auto obstacle = ClusterObstacle(outgoing)) {
      reply(SendOutcome::kFailed, Failed(*obstacle));
      return;
    }
    SendToEveryServer(rules.kind, outgoing, reply);
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
