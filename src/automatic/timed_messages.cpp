#include "automatic/timed_messages.hpp"

#include <cstdlib>
#include <exception>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "automatic/automatic.hpp"
#include "automatic/timed_message_draw.hpp"
#include "automatic/timed_schedule.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "delivery/delivery.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host/permissions.hpp"
#include "opt_out/player_opt_out.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

// The index of the message chosen last, by either order. Kept across reloads, so
// that a sequential order goes on where it was.
constinit int LastTimedMessageIndex = -1;

constexpr int kMostPlayers = 1'000'000;

struct TimedMessage {
  FString text;
  // None for an unknown type: the turn still runs, but nobody receives anything.
  std::optional<MessageKind> kind;
  std::vector<FString> include_groups;
  std::vector<FString> exclude_groups;
  ByteColor color;
};

const json& ConfiguredMessages(const json& timed) {
  static const json no_messages = json::array();
  const auto it = timed.find("Messages");
  return it == timed.end() ? no_messages : *it;
}

int MessageCount(const json& messages) {
  return messages.is_array() || messages.is_object() ? static_cast<int>(messages.size()) : 0;
}

TimedMessageOrder ConfiguredOrder(const json& timed) {
  return TimedMessageOrderFromName(Settings::ValueOr<std::string>(timed, "Order", "Random"));
}

// Too few players: the turn is used up without choosing a message.
bool EnoughPlayers(const json& timed) {
  const long long minimum = Settings::WholeNumberOr(timed, "MinPlayers", 0, 0, kMostPlayers);
  return minimum == 0 || ConnectedPlayerCount() >= minimum;
}

int ChooseMessageIndex(const json& messages, TimedMessageOrder order) {
  const int count = MessageCount(messages);
  if (order == TimedMessageOrder::kSequential) {
    // An empty list has no entry to choose, so the order stays where it is.
    if (count == 0) {
      return 0;
    }
    LastTimedMessageIndex = NextSequentialIndex(LastTimedMessageIndex, count);
    return LastTimedMessageIndex;
  }
  if (count < 2) {
    return 0;
  }
  // The runtime's generator, never seeded here: the server owns its state.
  LastTimedMessageIndex =
      DrawTimedMessageIndex(count, LastTimedMessageIndex, [] { return std::rand(); });
  return LastTimedMessageIndex;
}

std::vector<FString> GroupList(const json& entry, const char* key) {
  std::vector<FString> groups;
  for (const auto& name : entry.value(key, std::vector<std::string>{})) {
    groups.push_back(FromUtf8(name));
  }
  return groups;
}

// Every read is strict: a value of the wrong JSON type ends the turn.
TimedMessage ReadTimedMessage(const json& entry) {
  TimedMessage message;
  message.text = FromUtf8(entry.value("MessageToSend", std::string()));
  message.kind = MessageKindFromTypeName(entry.value("MessageType", std::string("Chat")));
  message.include_groups = GroupList(entry, "Only_Send_To_Permission_Groups");
  message.exclude_groups = GroupList(entry, "Exclude_Permissions_Groups");
  message.color = Settings::ColorFromObject(Settings::Section(entry, "MessageColour"));
  return message;
}

MessageStyle ReadStyle(const json& entry, const TimedMessage& message) {
  MessageStyle style;
  style.color = message.color;
  if (message.kind == MessageKind::kChat) {
    style.sender = FromUtf8(entry.value("Sender", std::string("Bellwright")));
  } else if (message.kind == MessageKind::kNotification) {
    style.display_scale = entry.value("DisplayScale", 1.0F);
    style.display_time = entry.value("DisplayTime", 10.0F);
    style.icon = ResolveIcon(FromUtf8(entry.value("Icon_BP", std::string())));
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

// Every connected player in list order; entries that no longer resolve are skipped.
template <typename Visit>
void ForEachPlayer(Visit&& visit) {
  UWorld* world = AsaApi::GetApiUtils().GetWorld();
  if (world == nullptr) {
    return;
  }
  for (const auto& weak_controller : world->PlayerControllerListField()) {
    auto* player = static_cast<AShooterPlayerController*>(weak_controller.Get());
    if (player != nullptr) {
      visit(player);
    }
  }
}

// Players who turned timed messages off are left out before anything is asked about
// them.
bool TurnedOff(const FString& unique_id) {
  return OptOutActive() && IsOptedOut(unique_id);
}

bool AnyConnectedPlayerTurnedOff() {
  if (!OptOutActive()) {
    return false;
  }
  bool any = false;
  ForEachPlayer([&any](AShooterPlayerController* player) {
    any = any || IsOptedOut(player->GetUniqueNetIdAsString());
  });
  return any;
}

void SendToQualifyingPlayers(const json& entry, const TimedMessage& message) {
  if (!message.kind) {
    return;
  }
  // Read at the first recipient, so a turn that reaches nobody reads nothing more.
  std::optional<MessageStyle> style;
  PlayerText text(message.text, *message.kind);
  ForEachPlayer([&](AShooterPlayerController* player) {
    const FString unique_id = player->GetUniqueNetIdAsString();
    if (TurnedOff(unique_id) || !Qualifies(unique_id, message)) {
      return;
    }
    if (!style) {
      style = ReadStyle(entry, message);
    }
    Deliver(*message.kind, text.For(player), *style, Recipient::Player(player));
  });
}

void SendToEveryone(const json& entry, const TimedMessage& message) {
  if (!message.kind) {
    return;
  }
  const MessageStyle style = ReadStyle(entry, message);
  PlayerText text(message.text, *message.kind);
  const bool anyone_turned_off = AnyConnectedPlayerTurnedOff();
  if (!text.NamesPlayer() && !anyone_turned_off) {
    Deliver(*message.kind, text.For(nullptr), style, Recipient::Everyone());
    return;
  }
  // Each player reads their own name, and those who turned timed messages off are
  // left out.
  ForEachPlayer([&](AShooterPlayerController* player) {
    if (anyone_turned_off && IsOptedOut(player->GetUniqueNetIdAsString())) {
      return;
    }
    Deliver(*message.kind, text.For(player), style, Recipient::Player(player));
  });
}

void SendTurn(const json& entry) {
  const TimedMessage message = ReadTimedMessage(entry);
  if (message.include_groups.empty() && message.exclude_groups.empty()) {
    SendToEveryone(entry, message);
  } else {
    SendToQualifyingPlayers(entry, message);
  }
}

}  // namespace

void StartTimedMessages() {
  StopTimedMessages();
}

void StopTimedMessages() {
  ResetTimedSchedule();
  LastTimedMessageIndex = -1;
}

void SendTimedMessage() {
  const json& timed = Settings::SectionOrEmpty(ConfigDocument(), "TimedMessages");
  if (!EnoughPlayers(timed)) {
    return;
  }
  const json& messages = ConfiguredMessages(timed);
  const int index = ChooseMessageIndex(messages, ConfiguredOrder(timed));
  try {
    // An empty list or a list that is not an array has no entry to read.
    SendTurn(messages.at(static_cast<json::size_type>(index)));
  } catch (const std::exception&) {
    // A message that cannot be read costs its turn and nothing else.
  }
}

}  // namespace Bellwright
