#include "console/command_interpreter.hpp"

#include <charconv>
#include <fstream>

#include "base/plugin_folder.hpp"
#include "host/tools.hpp"
#include "host_library/clock.hpp"
#include "host_library/commands.hpp"
#include "host_library/events.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/hooks.hpp"
#include "host_library/text.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"
#include "views/world_audience.hpp"

namespace Sandbox {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  return text;
}

// Takes the next blank-separated word off the front of `text`; after it, `text`
// starts at the blank that ended the word.
std::string_view TakeWord(std::string_view& text) {
  text = TrimLeft(text);
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) {
    ++end;
  }
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

// TEXT is the rest of the line after exactly one blank, verbatim.
std::optional<std::string_view> TakeText(std::string_view text) {
  if (text.empty() || !IsBlank(text.front())) {
    return std::nullopt;
  }
  return text.substr(1);
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  for (std::string_view word = TakeWord(text); !word.empty(); word = TakeWord(text)) {
    words.push_back(word);
  }
  return words;
}

Event NameList(const std::vector<FString>& names) {
  Event list = Event::array();
  for (const FString& name : names) {
    list.push_back(ToUtf8(name));
  }
  return list;
}

std::string Missing(std::string_view what, std::string_view usage) {
  return "missing " + std::string(what) + "; usage: " + std::string(usage);
}

}  // namespace

std::filesystem::path ConfigFilePath() {
  return PathFromUtf8(AsaApi::Tools::GetCurrentDir()) / Bellwright::kPluginFolder /
         Bellwright::kConfigFileName;
}

void EmitRegistry() {
  const CommandRegistry& registry = TheCommandRegistry();
  Emit("registry", {{"console", NameList(registry.ConsoleNames())},
                    {"rcon", NameList(registry.RconNames())},
                    {"chat", NameList(registry.ChatNames())},
                    {"hooks", TheGameFunctions().DetouredNames()}});
}

CommandInterpreter::CommandInterpreter(std::string plugin_path)
    : plugin_path_(std::move(plugin_path)) {}

void CommandInterpreter::Error(int line_number, const std::string& text) {
  ++errors_;
  Emit("sandbox_error", {{"line", line_number}, {"text", text}});
}

void CommandInterpreter::ExecuteLine(std::string_view line, int line_number) {
  // Scripts written on Windows end their lines with CR LF.
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  if (config_block_) {
    if (line == config_block_->terminator) {
      WriteConfig(*config_block_);
      config_block_.reset();
    } else {
      config_block_->lines.emplace_back(line);
    }
    return;
  }
  std::string_view rest = TrimLeft(line);
  if (rest.empty() || rest.front() == '#') {
    return;
  }
  const std::string_view command = TakeWord(rest);
  if (const std::string error = Dispatch(command, rest, line_number); !error.empty()) {
    Error(line_number, error);
  }
}

std::string CommandInterpreter::Dispatch(std::string_view command, std::string_view rest,
                                         int line_number) {
  const bool bare = TrimLeft(rest).empty();
  if (command == "load" && bare) {
    return Load();
  }
  if (command == "unload" && bare) {
    return Unload();
  }
  if (command == "registry" && bare) {
    EmitRegistry();
    return {};
  }
  if (command == "config") {
    return Config(rest, line_number);
  }
  if (command == "join") {
    return Join(rest);
  }
  if (command == "possess") {
    return Possess(rest);
  }
  if (command == "leave") {
    return Leave(rest);
  }
  if (command == "creature") {
    return Creature(rest);
  }
  if (command == "admin") {
    return Admin(rest);
  }
  if (command == "groups") {
    return Groups(rest);
  }
  if (command == "chat") {
    return Chat(rest);
  }
  if (command == "console") {
    return Console(rest);
  }
  if (command == "rcon") {
    return Rcon(rest);
  }
  if (command == "wait") {
    return Wait(rest);
  }
  if (command == "clock") {
    return StepClock(rest);
  }
  if (command == "load" || command == "unload" || command == "registry") {
    return std::string(command) + " takes no arguments";
  }
  return "unknown command \"" + std::string(command) + "\"";
}

void CommandInterpreter::Finish() {
  if (config_block_) {
    Error(config_block_->line_number, "the config block was not closed by \"" +
                                          config_block_->terminator +
                                          "\"; the configuration file was not written");
    config_block_.reset();
  }
  if (loader_.IsLoaded()) {
    loader_.Unload();
    EmitRegistry();
  }
}

std::string CommandInterpreter::Load() {
  if (loader_.IsLoaded()) {
    return "the plug-in is already loaded";
  }
  if (std::string error = loader_.Load(plugin_path_); !error.empty()) {
    return "cannot load the plug-in: " + error;
  }
  EmitRegistry();
  return {};
}

std::string CommandInterpreter::Unload() {
  if (!loader_.IsLoaded()) {
    return "the plug-in is not loaded";
  }
  loader_.Unload();
  EmitRegistry();
  return {};
}

std::string CommandInterpreter::Config(std::string_view rest, int line_number) {
  const std::vector<std::string_view> words = Words(rest);
  if (words.size() == 1 && words[0] == "remove") {
    std::error_code ignored;
    std::filesystem::remove(ConfigFilePath(), ignored);
    return {};
  }
  if (words.size() == 1 && words[0].starts_with("<<") && words[0].size() > 2) {
    config_block_ = ConfigBlock{std::string(words[0].substr(2)), line_number, {}};
    return {};
  }
  return "usage: config <<WORD (the file's lines, then WORD) or config remove";
}

void CommandInterpreter::WriteConfig(const ConfigBlock& block) {
  std::string text;
  for (std::size_t index = 0; index < block.lines.size(); ++index) {
    text += (index == 0 ? "" : "\n") + block.lines[index];
  }
  const std::filesystem::path path = ConfigFilePath();
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) {
    Error(block.line_number, "cannot write " + path.string());
  }
}

std::string CommandInterpreter::Join(std::string_view rest) {
  const std::string_view id = TakeWord(rest);
  const auto name = TakeText(rest);
  if (id.empty() || !name) {
    return Missing(id.empty() ? "ID" : "TEXT", "join ID TEXT");
  }
  return TheWorld().Join(FromUtf8(id), FromUtf8(*name));
}

std::string CommandInterpreter::Possess(std::string_view rest) {
  const std::string_view id = TakeWord(rest);
  if (id.empty()) {
    return Missing("ID", "possess ID [dead|unowned]");
  }
  bool dead = false;
  bool unowned = false;
  for (const std::string_view word : Words(rest)) {
    if (word == "dead") {
      dead = true;
    } else if (word == "unowned") {
      unowned = true;
    } else {
      return "unknown possess option \"" + std::string(word) +
             "\"; usage: possess ID [dead|unowned]";
    }
  }
  return TheWorld().Possess(FromUtf8(id), dead, unowned);
}

std::string CommandInterpreter::Creature(std::string_view rest) {
  const auto name = TakeText(rest);
  if (!name) {
    return Missing("TEXT", "creature TEXT");
  }
  TheWorld().SpawnCreature(FromUtf8(*name));
  return {};
}

std::string CommandInterpreter::Leave(std::string_view rest) {
  const std::vector<std::string_view> words = Words(rest);
  if (words.size() != 1) {
    return words.empty() ? Missing("ID", "leave ID") : "usage: leave ID";
  }
  return TheWorld().Leave(FromUtf8(words[0]));
}

std::string CommandInterpreter::Admin(std::string_view rest) {
  const std::vector<std::string_view> words = Words(rest);
  if (words.empty()) {
    return Missing("ID", "admin ID [on|off]");
  }
  if (words.size() > 2 || (words.size() == 2 && words[1] != "on" && words[1] != "off")) {
    return "usage: admin ID [on|off]";
  }
  TheWorld().SetAllowedToCheat(FromUtf8(words[0]), words.size() == 1 || words[1] == "on");
  return {};
}

std::string CommandInterpreter::Groups(std::string_view rest) {
  const std::vector<std::string_view> words = Words(rest);
  if (words.empty()) {
    return Missing("ID", "groups ID [G ...]");
  }
  std::vector<FString> groups;
  for (std::size_t index = 1; index < words.size(); ++index) {
    groups.push_back(FromUtf8(words[index]));
  }
  TheWorld().SetGroups(FromUtf8(words[0]), std::move(groups));
  return {};
}

std::string CommandInterpreter::Chat(std::string_view rest) {
  const std::string_view id = TakeWord(rest);
  const auto text = TakeText(rest);
  if (id.empty() || !text) {
    return Missing(id.empty() ? "ID" : "TEXT", "chat ID TEXT");
  }
  return TheWorld().Chat(FromUtf8(id), FromUtf8(*text));
}

std::string CommandInterpreter::Console(std::string_view rest) {
  const std::string_view id = TakeWord(rest);
  const auto text = TakeText(rest);
  if (id.empty() || !text) {
    return Missing(id.empty() ? "ID" : "TEXT", "console ID TEXT");
  }
  PlayerController* const player = TheWorld().FindConnected(FromUtf8(id));
  if (player == nullptr) {
    return "player " + std::string(id) + " is not connected";
  }
  const FString line = FromUtf8(*text);
  const ConsoleCallerScope caller{std::string(id)};
  if (!TheCommandRegistry().RunConsole(player, line)) {
    Emit("unknown_command", {{"via", "console"}, {"text", ToUtf8(line)}});
  }
  return {};
}

std::string CommandInterpreter::Rcon(std::string_view rest) {
  const auto text = TakeText(rest);
  if (!text) {
    return Missing("TEXT", "rcon TEXT");
  }
  rcon_.Execute(next_rcon_id_++, FromUtf8(*text));
  return {};
}

std::string CommandInterpreter::Wait(std::string_view rest) {
  const std::vector<std::string_view> words = Words(rest);
  if (words.size() != 1) {
    return words.empty() ? Missing("N", "wait N") : "usage: wait N";
  }
  long long steps = 0;
  const auto [end, error] =
      std::from_chars(words[0].data(), words[0].data() + words[0].size(), steps);
  if (error != std::errc() || end != words[0].data() + words[0].size() || steps < 0) {
    return "wait needs a whole number of seconds, not \"" + std::string(words[0]) + "\"";
  }
  for (long long step = 0; step < steps; ++step) {
    StepOneSecond();
  }
  return {};
}

std::string CommandInterpreter::StepClock(std::string_view rest) {
  const std::vector<std::string_view> words = Words(rest);
  if (words.size() != 1) {
    return words.empty() ? Missing("STEP", "clock STEP") : "usage: clock STEP";
  }
  std::string_view digits = words[0];
  // A step reads as a setting does: +600 or -3600, the sign optional forward.
  const bool back = digits.starts_with('-');
  if (back || digits.starts_with('+')) {
    digits.remove_prefix(1);
  }
  long long seconds = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    return "clock needs a whole number of seconds such as -3600 or +600, not \"" +
           std::string(words[0]) + "\"";
  }
  const std::chrono::seconds step(back ? -seconds : seconds);
  if (!TheClock().StepCalendar(step)) {
    return "clock " + std::string(words[0]) + " would leave " + std::string(CalendarRangeText());
  }
  return {};
}

}  // namespace Sandbox
