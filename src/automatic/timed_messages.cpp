#include "automatic/timed_messages.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "automatic/message_look.hpp"
#include "automatic/timed_message_draw.hpp"
#include "base/text.hpp"
#include "config/timed_message_settings.hpp"
#include "delivery/delivery.hpp"
#include "delivery/world_players.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host/permissions.hpp"
#include "opt_out/player_opt_out.hpp"

namespace Bellwright {
namespace {

// The index of the message chosen last, by either order. Kept across reloads, so
// that a sequential order goes on where it was.
constinit int LastTimedMessageIndex = -1;

constexpr int kMostPlayers = 1'000'000;

struct TimedMessage {
  FString text;
  // Whether players who turned timed messages off are left out.
  OptedOutPlayers opted_out = OptedOutPlayers::kLeftOut;
  // None for an unknown type: the turn still runs, but nobody receives anything.
  std::optional<MessageKind> kind;
  std::vector<FString> include_groups;
  std::vector<FString> exclude_groups;
  ByteColor color;
};

// Too few players: the turn is used up without choosing a message.
bool EnoughPlayers(const TimedMessagesSection& timed) {
  const long long minimum = timed.MinPlayers(kMostPlayers);
  return minimum == 0 || ConnectedPlayerCount() >= minimum;
}

int ChooseMessageIndex(int count, TimedMessageOrder order, int& last_index) {
  if (order == TimedMessageOrder::kSequential) {
    // An empty list has no entry to choose, so the order stays where it is.
    if (count == 0) {
      return 0;
    }
    last_index = NextSequentialIndex(last_index, count);
    return last_index;
  }
  if (count < 2) {
    return 0;
  }
  // The runtime's generator, never seeded here: the server owns its state.
  last_index = DrawTimedMessageIndex(count, last_index, [] { return std::rand(); });
  return last_index;
}

std::vector<FString> GroupList(const std::vector<std::string>& names) {
  std::vector<FString> groups;
  groups.reserve(names.size());
  for (const auto& name : names) {
    groups.push_back(FromUtf8(name));
  }
  return groups;
}

// Every read is strict: a value of the wrong JSON type ends the turn.
TimedMessage ReadTimedMessage(const TimedMessageEntry& entry) {
  const TimedMessageContent content = entry.Content();
  TimedMessage message;
  message.text = FromUtf8(content.text);
  message.kind = MessageKindFromTypeName(content.type);
  message.include_groups = GroupList(content.include_groups);
  message.exclude_groups = GroupList(content.exclude_groups);
  message.color = content.colour;
  return message;
}

MessageStyle ReadStyle(const TimedMessageEntry& entry, const TimedMessage& message) {
  MessageStyle style;
  style.color = message.color;
  if (message.kind == MessageKind::kChat) {
    style.sender = FromUtf8(entry.Sender());
  } else if (message.kind == MessageKind::kNotification) {
    const TimedNotificationLook look = entry.NotificationLook();
    style.display_scale = look.display_scale;
    style.display_time = look.display_time;
    style.icon = ResolveIcon(FromUtf8(look.icon));
  }
  return style;
}

bool InAnyGroup(const FString& unique_id, const std::vector<FString>& groups) {
  for (const auto& group : groups) {
    if (Permissions::IsPlayerInGroup(unique_id, group)) {
      return true;
    }
  }
  return false;
}

bool Qualifies(const FString& unique_id, const TimedMessage& message) {
  // The exclude list counts only while there is no include list.
  if (!message.include_groups.empty()) {
    return InAnyGroup(unique_id, message.include_groups);
  }
  return !InAnyGroup(unique_id, message.exclude_groups);
}

// Players who turned timed messages off are left out before anything is asked about
// them.
bool TurnedOff(const FString& unique_id, const TimedMessage& message) {
  return message.opted_out == OptedOutPlayers::kLeftOut && OptOutActive() && IsOptedOut(unique_id);
}

bool AnyConnectedPlayerTurnedOff(const TimedMessage& message) {
  if (message.opted_out == OptedOutPlayers::kIncluded || !OptOutActive()) {
    return false;
  }
  bool any = false;
  ForEachConnectedPlayer(GameWorld(), [&any](AShooterPlayerController* player) {
    any = any || IsOptedOut(player->GetUniqueNetIdAsString());
  });
  return any;
}

void SendToQualifyingPlayers(const TimedMessageEntry& entry, const TimedMessage& message) {
  // Read at the first recipient, so a turn that reaches nobody reads nothing more.
  std::optional<MessageStyle> style;
  std::optional<PlayerText> text;
  if (message.kind) {
    text.emplace(message.text, *message.kind);
  }
  ForEachConnectedPlayer(GameWorld(), [&](AShooterPlayerController* player) {
    const FString unique_id = player->GetUniqueNetIdAsString();
    // The groups are asked even for a type that sends nothing, as the system asks them.
    if (TurnedOff(unique_id, message) || !Qualifies(unique_id, message) || !text) {
      return;
    }
    if (!style) {
      style = ReadStyle(entry, message);
    }
    Deliver(*message.kind, text->For(player), *style, Recipient::Player(player));
  });
}

void SendToEveryone(const TimedMessageEntry& entry, const TimedMessage& message) {
  if (!message.kind) {
    return;
  }
  const MessageStyle style = ReadStyle(entry, message);
  PlayerText text(message.text, *message.kind);
  const bool anyone_turned_off = AnyConnectedPlayerTurnedOff(message);
  if (!text.NamesPlayer() && !anyone_turned_off) {
    Deliver(*message.kind, text.For(nullptr), style, Recipient::Everyone());
    return;
  }
  // Each player reads their own name, and those who turned timed messages off are
  // left out.
  ForEachConnectedPlayer(GameWorld(), [&](AShooterPlayerController* player) {
    if (anyone_turned_off && IsOptedOut(player->GetUniqueNetIdAsString())) {
      return;
    }
    Deliver(*message.kind, text.For(player), style, Recipient::Player(player));
  });
}

void SendTurn(const TimedMessageEntry& entry, OptedOutPlayers opted_out, const TextFill& fill) {
  TimedMessage message = ReadTimedMessage(entry);
  message.opted_out = opted_out;
  if (fill) {
    message.text = fill(message.text);
  }
  if (message.include_groups.empty() && message.exclude_groups.empty()) {
    SendToEveryone(entry, message);
  } else {
    SendToQualifyingPlayers(entry, message);
  }
}

}  // namespace

void ForgetLastTimedMessage() {
  LastTimedMessageIndex = -1;
}

void SendTimedMessage() {
  SendTimedTurn(TimedMessagesSection(), LastTimedMessageIndex, OptedOutPlayers::kLeftOut);
}

void SendTimedTurn(const TimedMessagesSection& list, int& last_index, OptedOutPlayers opted_out) {
  if (!EnoughPlayers(list)) {
    return;
  }
  const int index =
      ChooseMessageIndex(list.MessageCount(), TimedMessageOrderFromName(list.Order()), last_index);
  try {
    // An empty list or a list that is not an array has no entry to read.
    SendTurn(list.Message(index), opted_out, {});
  } catch (const std::exception&) {
    // A message that cannot be read costs its turn and nothing else.
  }
}

void SendTimedEntry(const TimedMessageEntry& entry, OptedOutPlayers opted_out,
                    const TextFill& fill) {
  try {
    SendTurn(entry, opted_out, fill);
  } catch (const std::exception&) {
    // As a list's turn: a message that cannot be read is not sent.
  }
}

int LastChosenTimedMessage() {
  return LastTimedMessageIndex;
}

bool SendTimedEntryTo(const TimedMessageEntry& entry, AShooterPlayerController* viewer,
                      const TextFill& fill) {
  try {
    const TimedMessage message = ReadTimedMessage(entry);
    if (!message.kind) {
      return false;
    }
    // The text outlives `text`, which reads it at each player.
    const FString filled = fill ? fill(message.text) : message.text;
    PlayerText text(filled, *message.kind);
    return Deliver(*message.kind, text.For(viewer), ReadStyle(entry, message),
                   Recipient::Player(viewer));
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<std::vector<std::string>> DescribeTimedEntry(const TimedMessageEntry& entry,
                                                           const TextFill& fill) {
  try {
    const TimedMessageContent content = entry.Content();
    MessageLook look;
    look.kind = MessageKindFromTypeName(content.type);
    look.type_name = content.type;
    look.colour = content.colour;
    if (look.kind == MessageKind::kChat) {
      look.sender = entry.Sender();
    } else if (look.kind == MessageKind::kNotification) {
      const TimedNotificationLook notification = entry.NotificationLook();
      look.display_scale = notification.display_scale;
      look.display_time = notification.display_time;
      look.icon = notification.icon;
    }
    std::string audience;
    if (!content.include_groups.empty()) {
      audience = fmt::format(", only to {}", fmt::join(content.include_groups, ", "));
    } else if (!content.exclude_groups.empty()) {
      audience = fmt::format(", not to {}", fmt::join(content.exclude_groups, ", "));
    }
    std::string text = content.text;
    if (fill) {
      text = ToUtf8(fill(FromUtf8(text)));
    }
    return std::vector<std::string>{DescribeLook(look) + audience, std::move(text)};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace Bellwright
