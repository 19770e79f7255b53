#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host_library/events.hpp"

namespace Sandbox {

// Whom an event is for: what players see in the game, what an administrator sees
// (the replies to commands), what only the host records, and the sandbox's own
// complaints about the commands it was given.
enum class Audience { kPlayers, kAdministrator, kHost, kSandbox };

// The one word a view shows for it: "player", "admin", "host" or "sandbox".
std::string_view AudienceName(Audience audience);

// A player as the world knew them when the event happened.
struct Player {
  std::string id;
  std::string name;  // empty when no connected player has the id

  friend bool operator==(const Player&, const Player&) = default;
};

// "Alice (A1)", or "A1" without a name.
std::string PlayerLabel(const Player& player);

// What the readable views ask the world about, at the moment of an event.
class AudienceContext {
 public:
  AudienceContext() = default;
  AudienceContext(const AudienceContext&) = delete;
  AudienceContext& operator=(const AudienceContext&) = delete;
  virtual ~AudienceContext();

  // The character name of the connected player with exactly this id; empty if none.
  [[nodiscard]] virtual std::string NameOf(std::string_view id) const = 0;
  // The connected players' ids, in the order of the game's player list.
  [[nodiscard]] virtual std::vector<std::string> ConnectedIds() const = 0;
  // The id of the player whose console command is running; empty when none is.
  [[nodiscard]] virtual std::string ConsoleCaller() const = 0;
};

struct EventAudience {
  Audience audience = Audience::kHost;
  // One short word for the kind: server, chat, notify, public, reply, log ...
  std::string kind;
  // Who sees it, or whom it concerns: "Alice (A1)", "everyone", "RCON #3", "server".
  std::string who;
  // The players in whose game the event shows (players' events only).
  std::vector<Player> screens;
  // Who said a public chat line, or had one dropped.
  std::optional<Player> speaker;
};

EventAudience ClassifyEvent(const Event& event, const AudienceContext& context);

// Whether a server message is the answer to the console command now running: the
// plug-in answers its caller in pure green or red, with its own prefix.
bool IsConsoleReply(const Event& server_message, std::string_view console_caller);

}  // namespace Sandbox
