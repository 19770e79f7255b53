#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_color.hpp"
#include "config/setting_reader.hpp"
#include "config_checks/command_registrations.hpp"

namespace Bellwright::ConfigCheck {
struct TextRule;
}

// The custom chat commands and the lines that refuse them. The commands are read
// strictly where they have always been (a value of the wrong JSON type stops them all
// from loading) and leniently in the keys added since (aliases, cooldowns); the lines
// leniently.
namespace Bellwright {

inline constexpr const char* kDefaultNoPermissionLine =
    "You don't have permission to perform this command";
inline constexpr const char* kDefaultCooldownLine =
    "Please wait {Seconds} s before using {Command} again.";

// What a value the loader cannot read costs, the last words of its finding.
inline constexpr std::string_view kStopsCustomCommands =
    "this stops all custom commands from loading (at start-up none is registered; bw.reload "
    "refuses the whole file and keeps the previous one)";

// One custom chat command as configured, its texts in UTF-8.
struct ConfiguredCommand {
  std::string name;     // the member's key
  std::string message;  // never empty: a command without one is skipped
  // "Chat" or "Client", "Server", "Notification", compared exactly; others answer nothing.
  std::string type = "Chat";
  std::string sender;
  ByteColor colour = MakeByteColor(0, 0, 0);
  std::vector<std::string> required_groups;
  float display_time = 0.0F;
  float display_scale = 0.0F;
  std::string icon;
  std::string command_to_execute;
  std::vector<std::string> aliases;
  // Host-clock ticks (100 ns) a player waits between two uses; 0 for none.
  std::int64_t cooldown_ticks = 0;

  friend bool operator==(const ConfiguredCommand&, const ConfiguredCommand&) = default;
};

struct CustomCommandSettings {
  // In member order (the byte order of the names).
  std::vector<ConfiguredCommand> commands;
  // The JSON library's error at the first value the loader cannot read, which stops
  // every command from loading; null while they load.
  std::exception_ptr unreadable;
  // The red line refusing a command the player may not use, and one still cooling down.
  std::string no_permission_line = kDefaultNoPermissionLine;
  std::string cooldown_line = kDefaultCooldownLine;

  // Two reads are alike when both load, or both do not.
  friend bool operator==(const CustomCommandSettings& a, const CustomCommandSettings& b) {
    return a.commands == b.commands && (a.unreadable == nullptr) == (b.unreadable == nullptr) &&
           a.no_permission_line == b.no_permission_line && a.cooldown_line == b.cooldown_line;
  }
};

// The names the commands take with the host, for the checks of every name that may
// clash with them. The registrations point into `commands`.
struct CommandNameTable {
  std::vector<ConfigCheck::CommandNames> commands;
  ConfigCheck::Registrations registrations;
};

// Reads the commands and their lines from the document, and judges them with the
// checks across commands (names equal ignoring case, aliases, chains). Their names go
// to `names`.
CustomCommandSettings ReadCustomCommandSettings(const SettingValue& document,
                                                CommandNameTable& names);

// A cooldown's seconds as host-clock ticks: zero or less is no cooldown, and a value
// past about three centuries is held there.
std::int64_t CooldownTicksFromSeconds(double seconds);

// How the texts are formatted: a command's reply, the refusal and the cooldown line.
const ConfigCheck::TextRule& CommandReplyTextRule();
const ConfigCheck::TextRule& NoPermissionTextRule();
const ConfigCheck::TextRule& CooldownLineTextRule();

}  // namespace Bellwright
