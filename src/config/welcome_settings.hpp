#pragma once

#include <string>
#include <vector>

#include "base/byte_color.hpp"
#include "config/setting_reader.hpp"

namespace Bellwright::ConfigCheck {
struct TextRule;
}

// The welcome message. Every read is lenient: a value of the wrong type gives the
// default, so a broken setting never stops a greeting.
namespace Bellwright {

inline constexpr int kDefaultWelcomeDelaySeconds = 5;

// A welcome text for the members of one permission group.
struct WelcomeGroupMessage {
  std::string group;
  std::string message;

  friend bool operator==(const WelcomeGroupMessage&, const WelcomeGroupMessage&) = default;
};

// Whether and when players are greeted, what a greeting says and how it looks; each
// message type uses only its own members of the look. The sender of a chat line is the
// plug-in's own (GeneralSettings).
struct WelcomeSettings {
  bool enabled = false;
  int delay_seconds = kDefaultWelcomeDelaySeconds;  // held to [0, INT_MAX]
  std::string message = "Welcome to the server {0}";
  // Asked in this order. Entries that are not an object with a string group and a
  // string message are skipped, as is the whole list when it is not an array.
  std::vector<WelcomeGroupMessage> group_messages;
  // The greeting of a player never greeted before; empty: none, which leaves the
  // storage closed unless the opt-out needs it.
  std::string first_join_message;
  std::string type = "Chat";
  ByteColor colour = MakeByteColor(0, 0, 0);
  float display_scale = 1.0F;
  float display_time = 10.0F;
  std::string icon;

  friend bool operator==(const WelcomeSettings&, const WelcomeSettings&) = default;
};

// From the general section (GeneralSection).
WelcomeSettings ReadWelcomeSettings(const SettingValue& general);

// How the welcome texts are formatted: the welcome's own, the first-join one and a
// group's.
const ConfigCheck::TextRule& WelcomeTextRule();
const ConfigCheck::TextRule& FirstJoinTextRule();
const ConfigCheck::TextRule& GroupWelcomeTextRule();

}  // namespace Bellwright
