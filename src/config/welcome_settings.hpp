#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/byte_color.hpp"
#include "config/config.hpp"
#include "config/general_settings.hpp"

// "Bellwright" -> "WelcomeMessage". Every read is lenient: a value of the wrong type
// gives the default, so a broken setting never stops a greeting.
namespace Bellwright {

// "EnableWelcomeMessage".
bool WelcomeEnabled(const nlohmann::json& document = ConfigDocument());

inline constexpr int kDefaultWelcomeDelaySeconds = 5;

// "DelaySeconds", truncated and held to [0, INT_MAX].
int WelcomeDelaySeconds(const nlohmann::json& document = ConfigDocument());

// "FirstJoinMessage": the greeting of a player never greeted before; empty while there
// is none, which leaves the storage closed unless the opt-out needs it.
std::string FirstJoinMessage(const nlohmann::json& document = ConfigDocument());

// A welcome text for the members of one permission group.
struct WelcomeGroupMessage {
  std::string group;
  std::string message;
};

// What a greeting says and how it looks; each message type reads only its own
// members of the style.
struct WelcomeSettings {
  std::string message = "Welcome to the server {0}";
  // Asked in this order. Entries that are not an object with a string "Group" and a
  // string "Message" are skipped, as is the whole list when it is not an array.
  std::vector<WelcomeGroupMessage> group_messages;
  std::string first_join_message;  // empty: none
  std::string type = "Chat";
  ByteColor colour = MakeByteColor(0, 0, 0);
  std::string sender = kDefaultChatSenderName;  // "Bellwright" -> "ClientChatSenderName"
  float display_scale = 1.0F;
  float display_time = 10.0F;
  std::string icon;
};

WelcomeSettings ReadWelcomeSettings(const nlohmann::json& document = ConfigDocument());

}  // namespace Bellwright
