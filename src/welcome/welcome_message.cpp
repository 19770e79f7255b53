#include "welcome/welcome_message.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/text.hpp"
#include "config/config.hpp"
#include "delivery/delivery.hpp"
#include "delivery/message_look.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host/permissions.hpp"
#include "opt_out/greeted_players.hpp"
#include "welcome/greeting_text.hpp"
#include "welcome/welcome.hpp"
#include "welcome/welcome_queue.hpp"

namespace Bellwright {
namespace {

// Any type name but "Server" and "Notification" gives the chat line.
MessageKind WelcomeKind(const std::string& type) {
  return type == "Server" || type == "Notification" ? *MessageKindFromTypeName(type)
                                                    : MessageKind::kChat;
}

// The chat line comes from the plug-in's own sender.
MessageLook WelcomeLook(const WelcomeSettings& configured) {
  return LookOf(WelcomeKind(configured.type), configured, LiveSettings().general.chat_sender);
}

// A welcome text for the members of one permission group.
struct GroupGreeting {
  FString group;
  GreetingTemplate message;
};

// The greetings of one pass. Nothing can change the configuration while a pass runs,
// so one read serves every greeting of the pass.
struct Greetings {
  GreetingTemplate message{""};
  std::vector<GroupGreeting> group_messages;   // asked in this order
  std::optional<GreetingTemplate> first_join;  // for a player never greeted before
  MessageKind kind = MessageKind::kChat;
  MessageStyle style;
  // Nobody joins or leaves while a pass runs, so one walk over the players serves
  // every greeting that names the count.
  std::optional<int> player_count;
};

Greetings ReadGreetings() {
  const WelcomeSettings& configured = LiveSettings().welcome;
  const std::string& server_name = LiveSettings().general.server_name;
  Greetings greetings;
  greetings.message = GreetingTemplate(configured.message, server_name);
  for (const WelcomeGroupMessage& entry : configured.group_messages) {
    FString group = FromUtf8(entry.group);
    // A group listed again (letter case ignored) could never be the first match: it is
    // not asked twice.
    const bool listed =
        std::any_of(greetings.group_messages.begin(), greetings.group_messages.end(),
                    [&](const GroupGreeting& earlier) { return earlier.group == group; });
    if (!listed) {
      greetings.group_messages.push_back(
          {std::move(group), GreetingTemplate(entry.message, server_name)});
    }
  }
  if (!configured.first_join_message.empty()) {
    greetings.first_join = GreetingTemplate(configured.first_join_message, server_name);
  }
  greetings.kind = WelcomeKind(configured.type);
  greetings.style = StyleOf(greetings.kind, WelcomeLook(configured));
  return greetings;
}

// The text of the first listed group the player is in, one query per group asked;
// the welcome's own text when none matches.
const GreetingTemplate& MessageFor(AShooterPlayerController* player, const Greetings& settings) {
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

enum class Arrival { kReturning, kFirst };

int PlayerCountOf(Greetings& pass) {
  if (!pass.player_count) {
    pass.player_count = ConnectedPlayerCount();
  }
  return *pass.player_count;
}

FString GreetingFor(AShooterPlayerController* player, const GreetingTemplate& message,
                    Greetings& pass) {
  const int player_count = message.NamesPlayerCount() ? PlayerCountOf(pass) : 0;
  const FString name = PlayerChosenText(player->GetPlayerCharacterName(), pass.kind);
  if (std::optional<std::u16string> plain = message.BuildPlain(name.Wide(), player_count)) {
    return FString(std::move(*plain));
  }
  return FromUtf8(message.Build(ToUtf8(name), player_count));
}

// A first-time player gets the first-join text instead of any group's, without asking
// the groups.
bool GreetPlayer(AShooterPlayerController* player, Greetings& settings, Arrival arrival) {
  const GreetingTemplate& message = arrival == Arrival::kFirst && settings.first_join
                                        ? *settings.first_join
                                        : MessageFor(player, settings);
  return Deliver(settings.kind, GreetingFor(player, message, settings), settings.style,
                 Recipient::Player(player));
}

}  // namespace

void SendWelcomeMessages() {
  if (!HasPendingWelcomes()) {
    return;
  }
  std::optional<Greetings> settings;
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
      settings = ReadGreetings();
    }
    const bool first = GreetAndTellWhetherFirst(unique_id);
    GreetPlayer(player, *settings, first ? Arrival::kFirst : Arrival::kReturning);
  }
  if (!greeted.empty()) {
    RecordGreetingsNow();
  }
}

bool SendWelcomeTo(AShooterPlayerController* viewer) {
  Greetings greetings = ReadGreetings();
  return GreetPlayer(viewer, greetings, Arrival::kReturning);
}

bool SendFirstJoinWelcomeTo(AShooterPlayerController* viewer) {
  Greetings greetings = ReadGreetings();
  return greetings.first_join && GreetPlayer(viewer, greetings, Arrival::kFirst);
}

int SendEveryWelcomeTextTo(AShooterPlayerController* viewer) {
  Greetings greetings = ReadGreetings();
  std::vector<const GreetingTemplate*> messages{&greetings.message};
  for (const GroupGreeting& group : greetings.group_messages) {
    messages.push_back(&group.message);
  }
  if (greetings.first_join) {
    messages.push_back(&*greetings.first_join);
  }
  return static_cast<int>(
      std::count_if(messages.begin(), messages.end(), [&](const GreetingTemplate* message) {
        return Deliver(greetings.kind, GreetingFor(viewer, *message, greetings), greetings.style,
                       Recipient::Player(viewer));
      }));
}

std::optional<std::vector<std::string>> DescribeFirstJoin() {
  const WelcomeSettings& configured = LiveSettings().welcome;
  if (configured.first_join_message.empty()) {
    return std::nullopt;
  }
  return std::vector<std::string>{DescribeLook(WelcomeLook(configured)),
                                  configured.first_join_message};
}

std::vector<std::string> DescribeWelcome() {
  const WelcomeSettings& configured = LiveSettings().welcome;
  std::vector<std::string> lines{DescribeLook(WelcomeLook(configured)), configured.message};
  for (const WelcomeGroupMessage& entry : configured.group_messages) {
    lines.push_back(fmt::format("group {}: {}", entry.group, entry.message));
  }
  if (!configured.first_join_message.empty()) {
    lines.push_back(fmt::format("first join: {}", configured.first_join_message));
  }
  return lines;
}

std::string WelcomeStatusLine() {
  const WelcomeSettings& welcome = LiveSettings().welcome;
  if (!welcome.enabled) {
    return "welcome: off";
  }
  return fmt::format("welcome: on, {} s after joining", welcome.delay_seconds);
}

}  // namespace Bellwright
