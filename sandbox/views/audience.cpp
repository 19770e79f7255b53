#include "views/audience.hpp"

namespace Sandbox {

std::string_view AudienceName(Audience audience) {
  switch (audience) {
    case Audience::kPlayers:
      return "player";
    case Audience::kAdministrator:
      return "admin";
    case Audience::kHost:
      return "host";
    case Audience::kSandbox:
      return "sandbox";
  }
  return "host";
}
namespace {

std::string Text(const Event& event, const char* name) {
  const auto found = event.find(name);
  if (found == event.end() || found->is_null()) {
    return {};
  }
  return found->is_string() ? found->get<std::string>()
                            : found->dump(-1, ' ', false, Event::error_handler_t::replace);
}

Player Known(const Event& event, const char* field, const AudienceContext& context) {
  std::string id = Text(event, field);
  std::string name = context.NameOf(id);
  return {std::move(id), std::move(name)};
}

bool HasColour(const Event& message, double red, double green, double blue) {
  const auto found = message.find("color");
  if (found == message.end() || !found->is_array() || found->size() < 3) {
    return false;
  }
  const double wanted[3] = {red, green, blue};
  for (std::size_t index = 0; index < 3; ++index) {
    const Event& component = (*found)[index];
    if (!component.is_number() || component.get<double>() != wanted[index]) {
      return false;
    }
  }
  return true;
}

EventAudience ForPlayer(std::string kind, Player player) {
  std::string who = PlayerLabel(player);
  return {Audience::kPlayers, std::move(kind), std::move(who), {std::move(player)}, {}};
}

EventAudience ForHost(std::string kind, std::string who) {
  return {Audience::kHost, std::move(kind), std::move(who), {}, {}};
}

EventAudience PublicChat(const Event& event, const AudienceContext& context) {
  Player speaker = Known(event, "from", context);
  std::vector<Player> screens;
  for (std::string& id : context.ConnectedIds()) {
    std::string name = context.NameOf(id);
    screens.push_back({std::move(id), std::move(name)});
  }
  if (screens.empty()) {
    screens.push_back(speaker);
  }
  return {Audience::kPlayers, "public", "everyone", std::move(screens), std::move(speaker)};
}

EventAudience UnknownCommand(const Event& event, const AudienceContext& context) {
  if (Text(event, "via") == "rcon") {
    return ForHost("unknown", "RCON");
  }
  const std::string caller = context.ConsoleCaller();
  return ForHost("unknown",
                 caller.empty() ? "console" : PlayerLabel({caller, context.NameOf(caller)}));
}

}  // namespace

AudienceContext::~AudienceContext() = default;

std::string PlayerLabel(const Player& player) {
  return player.name.empty() ? player.id : player.name + " (" + player.id + ")";
}

bool IsConsoleReply(const Event& server_message, std::string_view console_caller) {
  const std::string text = Text(server_message, "text");
  return !console_caller.empty() && Text(server_message, "to") == console_caller &&
         (text.starts_with("Bellwright: ") || text.starts_with("BW: ")) &&
         (HasColour(server_message, 0, 1, 0) || HasColour(server_message, 1, 0, 0));
}

EventAudience ClassifyEvent(const Event& event, const AudienceContext& context) {
  const std::string name = Text(event, "event");
  if (name == "server_message") {
    if (IsConsoleReply(event, context.ConsoleCaller())) {
      return {Audience::kAdministrator, "reply", PlayerLabel(Known(event, "to", context)), {}, {}};
    }
    return ForPlayer("server", Known(event, "to", context));
  }
  if (name == "chat_message") {
    return ForPlayer("chat", Known(event, "to", context));
  }
  if (name == "notification") {
    return ForPlayer("notify", Known(event, "to", context));
  }
  if (name == "player_chat") {
    return PublicChat(event, context);
  }
  if (name == "chat_dropped") {
    Player speaker = Known(event, "from", context);
    return {Audience::kHost, "dropped", PlayerLabel(speaker), {}, std::move(speaker)};
  }
  if (name == "rcon_reply") {
    return {Audience::kAdministrator, "reply", "RCON #" + Text(event, "id"), {}, {}};
  }
  if (name == "permission_query") {
    return ForHost("permission", PlayerLabel(Known(event, "id", context)));
  }
  if (name == "unknown_command") {
    return UnknownCommand(event, context);
  }
  if (name == "sandbox_error") {
    return {Audience::kSandbox, "error", "line " + Text(event, "line"), {}, {}};
  }
  if (name == "host_error") {
    return ForHost("host error", "server");
  }
  return ForHost(name, "server");
}

}  // namespace Sandbox
