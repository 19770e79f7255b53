#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/byte_color.hpp"
#include "base/placeholders.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

// Putting a message in front of players: every message the plug-in shows to players
// (not the administrators' replies) goes through Deliver.
namespace Bellwright {

enum class MessageKind {
  kServer,        // a server message in a colour
  kChat,          // a chat line with a sender name, coloured by the game's markup
  kNotification,  // an on-screen notification with scale, display time and icon
};

// The one place a configured type name becomes a kind: "Server", "Chat" or "Client",
// "Notification", letter case counting. Empty for any other name.
std::optional<MessageKind> MessageKindFromTypeName(std::string_view type_name);

// How a message looks; each kind reads only its own members.
struct MessageStyle {
  ByteColor color = MakeByteColor(0, 0, 0);
  FString sender;              // chat lines
  float display_scale = 0.0F;  // notifications
  float display_time = 0.0F;   // notifications
  UObject* icon = nullptr;     // notifications; null shows none
};

// One player, or everyone connected.
class Recipient {
 public:
  static Recipient Everyone() { return Recipient(nullptr, true); }
  // A null player is a recipient nobody can be found for: delivery fails.
  static Recipient Player(AShooterPlayerController* player) { return Recipient(player, false); }

  [[nodiscard]] bool IsEveryone() const { return everyone_; }
  [[nodiscard]] AShooterPlayerController* PlayerController() const { return player_; }

 private:
  Recipient(AShooterPlayerController* player, bool everyone)
      : player_(player), everyone_(everyone) {}

  AShooterPlayerController* player_;
  bool everyone_;
};

// Hands the message to the host. False when it was not handed over: no player for a
// single recipient, or a failure such as a lone brace in the text (the host formats
// every text once, so literal braces are doubled). Never throws.
bool Deliver(MessageKind kind, const FString& text, const MessageStyle& style,
             Recipient recipient) noexcept;

// The icon object for an asset path, or null when it does not resolve.
UObject* ResolveIcon(const FString& asset_path);

// The players connected now: the entries of the world's player-controller list that
// still resolve to a controller.
int ConnectedPlayerCount();

// A text a player chose (a character name), as it may stand inside a message of
// `kind`. In a chat line its angle brackets become look-alike quotation marks (U+2039,
// U+203A): the game reads markup in the whole line, and a name must neither close the
// server's colour nor open a colour of its own. Other kinds show it as written.
FString PlayerChosenText(const FString& text, MessageKind kind);

// This server's name in its cluster, as {ServerName} shows it; empty outside a cluster.
// The plug-in sets it whenever a configuration comes into use.
void UseServerName(const FString& name);

// A message text that may name {PlayerName}, the character name of the player who
// receives it, {PlayerCount}, the players connected when the text is first filled in,
// and {ServerName}. A text that names neither goes out exactly as written. `text` must
// outlive the object.
class PlayerText {
 public:
  // `kind` is how the text goes out, which decides how a name stands in it.
  PlayerText(const FString& text, MessageKind kind)
      : text_(text, kPlayerPlaceholderNames), kind_(kind) {}
  PlayerText(FString&&, MessageKind) = delete;

  // Whether the text differs from one player to the next.
  [[nodiscard]] bool NamesPlayer() const { return text_.Uses(kPlayerName); }

  // The text as `player` receives it, valid until the next call; `player` is only
  // asked for its name when the text names it.
  [[nodiscard]] const FString& For(AShooterPlayerController* player);

 private:
  PlaceholderText text_;
  MessageKind kind_;
  std::optional<std::u16string> player_count_;
  FString filled_;
};

}  // namespace Bellwright
