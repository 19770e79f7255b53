#include "console/help_text.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace Sandbox {
namespace {

struct CommandHelp {
  std::string_view form;
  std::string_view meaning;
  std::string_view example;
};

constexpr std::array kSandboxCommands{
    CommandHelp{"load, unload", "open or close the plug-in", "unload"},
    CommandHelp{"registry", "show what the plug-in registered", "registry"},
    CommandHelp{"config <<WORD ... WORD", "write the lines in between as the configuration file",
                "config <<END"},
    CommandHelp{"config remove", "delete the configuration file", "config remove"},
    CommandHelp{"join ID TEXT", "a player connects with a character named TEXT", "join A1 Alice"},
    CommandHelp{"possess ID [dead|unowned]", "the player takes a new character (respawn)",
                "possess A1"},
    CommandHelp{"leave ID", "the player logs out", "leave A1"},
    CommandHelp{"creature TEXT", "an AI takes control of a creature named TEXT", "creature Wolf"},
    CommandHelp{"admin ID [on|off]", "whether the game lets the player cheat", "admin A1 on"},
    CommandHelp{"groups ID [G ...]", "the player's permission groups", "groups A1 VIP Admins"},
    CommandHelp{"chat ID TEXT", "the player says TEXT in chat", "chat A1 hello"},
    CommandHelp{"console ID TEXT", "the player enters TEXT in the game console",
                "console A1 bw.reload"},
    CommandHelp{"rcon TEXT", "an RCON client sends TEXT", "rcon bw.reload"},
    CommandHelp{"clock STEP", "set the calendar clock STEP seconds forward or back", "clock -3600"},
    CommandHelp{"help", "this list", "help"},
    CommandHelp{"quit", "unload the plug-in and stop (so do Ctrl-C and Ctrl-D)", "quit"},
};

struct PluginCommand {
  std::string_view name;
  std::string_view form;
  std::string_view example;
};

// The administrative commands the plug-in is known to register, with their forms.
constexpr std::array kPluginCommands{
    PluginCommand{"bw.sendserver", R"(bw.sendserver TARGET "message" [R G B])",
                  R"(rcon bw.sendserver 0 "Server restart in 5 minutes" 255 128 0)"},
    PluginCommand{"bw.sendchat", R"(bw.sendchat TARGET SENDER "message" [R G B])",
                  R"(console A1 bw.sendchat A1 Admin "Hello Alice" 0 255 0)"},
    PluginCommand{"bw.sendnotification",
                  R"(bw.sendnotification TARGET "message" [SCALE TIME R G B ICON])",
                  R"(rcon bw.sendnotification 0 "Storm" 1.2 8 255 255 255 /Game/Icons/Storm)"},
    PluginCommand{"bw.chatasplayer", R"(bw.chatasplayer ID MODE "text")",
                  R"(rcon bw.chatasplayer A1 0 "hello everyone")"},
    PluginCommand{"bw.reload", "bw.reload", "rcon bw.reload"},
    PluginCommand{"bw.status", "bw.status", "rcon bw.status"},
    PluginCommand{"bw.preview", "bw.preview NAME [N]", "console A1 bw.preview timed 2"},
    PluginCommand{"bw.pause", "bw.pause NAME|all", "rcon bw.pause timed"},
    PluginCommand{"bw.resume", "bw.resume NAME|all", "rcon bw.resume all"},
    PluginCommand{"bw.countdown", R"(bw.countdown MINUTES ["TEXT"] | cancel)",
                  R"(rcon bw.countdown 15 "Restart for the update in {Minutes} minutes")"},
};

constexpr std::size_t kFormWidth = 28;

void AppendEntry(std::string& text, std::string_view form, std::string_view meaning,
                 std::string_view example) {
  if (form.size() > kFormWidth) {
    text += fmt::format("  {}\n  {:<{}} {}\n", form, "", kFormWidth, meaning);
  } else {
    text += fmt::format("  {:<{}} {}\n", form, kFormWidth, meaning);
  }
  text += fmt::format("  {:<{}}   e.g. {}\n", "", kFormWidth, example);
}

bool Contains(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Where a command is registered: "console and RCON", "console", "RCON".
std::string_view Channels(const RegisteredCommands& registered, std::string_view name) {
  const bool console = Contains(registered.console, name);
  const bool rcon = Contains(registered.rcon, name);
  return console && rcon ? "console and RCON" : console ? "console" : "RCON";
}

void AppendAdministrativeCommands(std::string& text, const RegisteredCommands& registered) {
  std::vector<std::string> names = registered.console;
  for (const std::string& name : registered.rcon) {
    if (!Contains(names, name)) {
      names.push_back(name);
    }
  }
  text += fmt::format(
      "\nThe plug-in's administrative commands ({} registered), sent from a player's game\n"
      "console with `console ID ...` or over RCON with `rcon ...`; TARGET is 0 for\n"
      "everyone or a player's id; NAME is an announcement list (timed: TimedMessages),\n"
      "or for bw.preview also welcome:\n",
      names.size());
  for (const std::string& name : names) {
    const auto known =
        std::find_if(kPluginCommands.begin(), kPluginCommands.end(),
                     [&](const PluginCommand& command) { return command.name == name; });
    const std::string_view channels = Channels(registered, name);
    if (known != kPluginCommands.end()) {
      AppendEntry(text, known->form, channels, known->example);
    } else {
      const std::string example =
          (Contains(registered.console, name) ? "console A1 " : "rcon ") + name;
      AppendEntry(text, name + " ...", channels, example);
    }
  }
}

void AppendChatCommands(std::string& text, const RegisteredCommands& registered) {
  text += fmt::format(
      "\nThe plug-in's custom chat commands ({} registered), typed by a player with\n"
      "`chat ID /name`:\n",
      registered.chat.size());
  for (const std::string& name : registered.chat) {
    AppendEntry(text, name, "a custom chat command", "chat A1 " + name);
  }
}

}  // namespace

std::string HelpText(const RegisteredCommands& registered) {
  std::string text =
      "The sandbox's commands, one a line (ID is a player's unique net id, TEXT the rest\n"
      "of the line):\n";
  for (const CommandHelp& command : kSandboxCommands) {
    AppendEntry(text, command.form, command.meaning, command.example);
  }
  text += "Time runs by itself here: the game-state timer runs every second.\n";
  if (registered.console.empty() && registered.rcon.empty() && registered.chat.empty()) {
    text += "\nThe plug-in has registered no commands (is it loaded? `load` opens it).\n";
    return text;
  }
  AppendAdministrativeCommands(text, registered);
  AppendChatCommands(text, registered);
  return text;
}

}  // namespace Sandbox
