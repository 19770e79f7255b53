#include "announcements/message_turns.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "announcements/timed_message_draw.hpp"
#include "base/text.hpp"
#include "delivery/delivery.hpp"
#include "delivery/message_look.hpp"
#include "delivery/world_players.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host/permissions.hpp"
#include "opt_out/player_opt_out.hpp"

namespace Bellwright {
namespace {

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
bool EnoughPlayers(const MessageList& list) {
  return list.min_players == 0 || ConnectedPlayerCount() >= list.min_players;
}

int ChooseMessageIndex(int count, MessageOrder order, int& last_index) {
  if (order == MessageOrder::kSequential) {
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

// None when the message cannot be read: its turn passes with nothing sent.
std::optional<TimedMessage> ReadTimedMessage(const MessageEntry& entry) {
  if (!entry.content) {
    return std::nullopt;
  }
  const MessageContent& content = *entry.content;
  TimedMessage message;
  message.text = FromUtf8(content.text);
  message.kind = MessageKindFromTypeName(content.type);
  message.include_groups = GroupList(content.include_groups);
  message.exclude_groups = GroupList(content.exclude_groups);
  message.color = content.colour;
  return message;
}

// A chat line's sender and a notification's look, read by the kind that uses them;
// none when that part of the entry cannot be read.
std::optional<MessageStyle> ReadStyle(const MessageEntry& entry, const TimedMessage& message) {
  MessageStyle style;
  style.color = message.color;
  if (message.kind == MessageKind::kChat) {
    if (!entry.sender) {
      return std::nullopt;
    }
    style.sender = FromUtf8(*entry.sender);
  } else if (message.kind == MessageKind::kNotification) {
    if (!entry.notification) {
      return std::nullopt;
    }
    style.display_scale = entry.notification->display_scale;
    style.display_time = entry.notification->display_time;
    style.icon = ResolveIcon(FromUtf8(entry.notification->icon));
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

void SendToQualifyingPlayers(const MessageEntry& entry, const TimedMessage& message) {
  // Taken at the first recipient, so a turn that reaches nobody takes nothing more; a
  // style that cannot be read ends the turn there.
  std::optional<MessageStyle> style;
  std::optional<PlayerText> text;
  if (message.kind) {
    text.emplace(message.text, *message.kind);
  }
  bool ended = false;
  ForEachConnectedPlayer(GameWorld(), [&](AShooterPlayerController* player) {
    if (ended) {
      return;
    }
    const FString unique_id = player->GetUniqueNetIdAsString();
    // The groups are asked even for a type that sends nothing, as the system asks them.
    if (TurnedOff(unique_id, message) || !Qualifies(unique_id, message) || !text) {
      return;
    }
    if (!style) {
      style = ReadStyle(entry, message);
    }
    if (!style) {
      ended = true;
      return;
    }
    Deliver(*message.kind, text->For(player), *style, Recipient::Player(player));
  });
}

void SendToEveryone(const MessageEntry& entry, const TimedMessage& message) {
  if (!message.kind) {
    return;
  }
  const std::optional<MessageStyle> read_style = ReadStyle(entry, message);
  if (!read_style) {
    return;
  }
  const MessageStyle& style = *read_style;
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

void SendTurn(const MessageEntry& entry, OptedOutPlayers opted_out, const TextFill& fill) {
  std::optional<TimedMessage> message = ReadTimedMessage(entry);
  if (!message) {
    return;
  }
  message->opted_out = opted_out;
  if (fill) {
    message->text = fill(message->text);
  }
  if (message->include_groups.empty() && message->exclude_groups.empty()) {
    SendToEveryone(entry, *message);
  } else {
    SendToQualifyingPlayers(entry, *message);
  }
}

}  // namespace

void SendListTurn(const MessageList& list, int& last_index, OptedOutPlayers opted_out) {
  if (!EnoughPlayers(list)) {
    return;
  }
  const auto count = static_cast<int>(list.messages.size());
  const int index = ChooseMessageIndex(count, list.order, last_index);
  // An empty list has no entry to read.
  if (index < count) {
    SendTurn(list.messages[static_cast<std::size_t>(index)], opted_out, {});
  }
}

void SendEntry(const MessageEntry& entry, OptedOutPlayers opted_out, const TextFill& fill) {
  SendTurn(entry, opted_out, fill);
}

bool SendEntryTo(const MessageEntry& entry, AShooterPlayerController* viewer,
                 const TextFill& fill) {
  const std::optional<TimedMessage> message = ReadTimedMessage(entry);
  if (!message || !message->kind) {
    return false;
  }
  const std::optional<MessageStyle> style = ReadStyle(entry, *message);
  if (!style) {
    return false;
  }
  // The text outlives `text`, which reads it at each player.
  const FString filled = fill ? fill(message->text) : message->text;
  PlayerText text(filled, *message->kind);
  return Deliver(*message->kind, text.For(viewer), *style, Recipient::Player(viewer));
}

std::optional<std::vector<std::string>> DescribeEntry(const MessageEntry& entry,
                                                      const TextFill& fill) {
  if (!entry.content) {
    return std::nullopt;
  }
  const MessageContent& content = *entry.content;
  MessageLook look;
  look.kind = MessageKindFromTypeName(content.type);
  look.type_name = content.type;
  look.colour = content.colour;
  if (look.kind == MessageKind::kChat) {
    if (!entry.sender) {
      return std::nullopt;
    }
    look.sender = *entry.sender;
  } else if (look.kind == MessageKind::kNotification) {
    if (!entry.notification) {
      return std::nullopt;
    }
    look.display_scale = entry.notification->display_scale;
    look.display_time = entry.notification->display_time;
    look.icon = entry.notification->icon;
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
}

}  // namespace Bellwright
