#include "config/custom_command_settings.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "base/clock_ticks.hpp"
#include "config/colour_reader.hpp"
#include "config/message_members.hpp"
#include "config/server_filter.hpp"
#include "config_checks/command_name_checks.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/text_faults.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

constexpr WrongType kStops{kError, kStopsCustomCommands};

// The JSON library's own error for what `read` cannot read, so that the log says what
// it has always said.
template <typename Read>
std::exception_ptr Refusal(Read read) {
  try {
    read();
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

template <typename T>
std::exception_ptr RefusalOf(const json& value) {
  return Refusal([&value] { static_cast<void>(value.get<T>()); });
}

// The first value the loader cannot read, in its reading order: the commands in member
// order, within one the message first.
class Loading {
 public:
  explicit Loading(ConfigCheck::Findings& findings) : findings_(findings) {}

  // Said before the value's finding is made, so that the finding is kept as the reason.
  void Fail(const std::string& pointer, std::exception_ptr error) {
    if (!error_) {
      error_ = std::move(error);
      findings_.Watch(pointer);
    }
  }
  [[nodiscard]] std::exception_ptr Error() const { return error_; }

  // `value` into `into` as the loader's typed read takes it; `into` keeps its default
  // when the value is absent or cannot be read.
  template <typename T>
  void Load(const SettingValue& value, JsonKind kind, T& into) {
    if (value.Present() && !value.Takes(kind, kStops)) {
      Fail(value.Pointer(), RefusalOf<T>(*value.Json()));
    }
    if (value.Judge(kind, kStops)) {
      into = value.Json()->get<T>();
    }
  }

  // A list whose every element the loader reads as `element_kind`.
  template <typename Element>
  void LoadList(const SettingValue& value, JsonKind kind, JsonKind element_kind,
                std::vector<Element>& into) {
    if (!value.IsArray()) {
      Load(value, kind, into);
      return;
    }
    bool readable = true;
    for (const SettingValue& element : value.Elements()) {
      if (!element.Takes(element_kind, kStops)) {
        Fail(element.Pointer(), RefusalOf<std::vector<Element>>(*value.Json()));
      }
      readable = element.Judge(element_kind, kStops) && readable;
    }
    if (readable) {
      into = value.Json()->get<std::vector<Element>>();
    }
  }

 private:
  ConfigCheck::Findings& findings_;
  std::exception_ptr error_;
};

// The newer keys are read leniently: they never stop the others.
std::vector<ConfigCheck::AliasName> ReadAliases(const SettingValue& list) {
  std::vector<ConfigCheck::AliasName> aliases;
  if (!list.Judge(JsonKind::kStringArray,
                  {kError, "it is ignored, so the command has no aliases"})) {
    return aliases;
  }
  for (const SettingValue& alias : list.Elements()) {
    if (alias.Judge(JsonKind::kString,
                    {kWarning, "this alias is skipped; the other aliases are registered"})) {
      aliases.push_back({alias.Json()->get<std::string>(), alias.Pointer()});
    }
  }
  return aliases;
}

void JudgeNotification(const SettingValue& command, const MessageMembers& members) {
  if (!members.type.Present() || *members.type.Json() != "Notification") {
    return;
  }
  JudgeVisible(members.display_time, members.display_scale, "the command's notification");
  std::vector<std::string> missing;
  std::vector<std::string> examples;
  for (const auto& [value, example] :
       {std::pair{&members.display_time, "10"}, std::pair{&members.display_scale, "1"}}) {
    if (!value->Present()) {
      missing.push_back(value->Key());
      examples.push_back(fmt::format("{}: {}", ConfigCheck::Quote(value->Key()), example));
    }
  }
  if (!missing.empty()) {
    command.AtValue(kWarning,
                    fmt::format("a \"Notification\" command without {}: {} 0, so nobody can see "
                                "the reply; add for example {}",
                                QuotedList(missing, " or "),
                                missing.size() == 1 ? "it defaults to" : "they default to",
                                fmt::join(examples, " and ")));
  }
}

// The rest of a command whose message the loader kept. A value the loader cannot read
// stops every command from loading: no field of this one is used then.
ConfiguredCommand ReadKeptCommand(const SettingValue& command, Loading& loading,
                                  ConfigCheck::CommandNames& names) {
  ConfiguredCommand read;
  const MessageMembers members = MessageMembersOf(command, MessageKeys::kCommand);
  std::vector<float> numbers;
  loading.LoadList(members.colour, JsonKind::kNumberArray, JsonKind::kNumber, numbers);
  read.colour = MessageColorFromNumbers(numbers);
  loading.LoadList(command.Member("RequiredPermissionGroups"), JsonKind::kStringArray,
                   JsonKind::kString, read.required_groups);
  loading.Load(members.display_time, JsonKind::kNumber, read.display_time);
  loading.Load(members.display_scale, JsonKind::kNumber, read.display_scale);
  loading.Load(members.type, JsonKind::kString, read.type);
  members.type.JudgeChoice({kMessageTypes, kError, "a message type",
                            "the command sends no reply (its Command_To_Execute still runs)"});
  loading.Load(members.sender, JsonKind::kString, read.sender);
  loading.Load(members.icon, JsonKind::kString, read.icon);
  const SettingValue chain = command.Member("Command_To_Execute");
  loading.Load(chain, JsonKind::kString, read.command_to_execute);
  names.chain = chain.IsString() ? std::optional(read.command_to_execute) : std::nullopt;
  names.chain_pointer = chain.Pointer();
  names.aliases = ReadAliases(command.Member("Aliases"));
  for (const ConfigCheck::AliasName& alias : names.aliases) {
    read.aliases.push_back(alias.name);
  }
  const SettingValue cooldown = command.Member("CooldownSeconds");
  if (cooldown.Judge(JsonKind::kNumber,
                     {kError, "it is ignored, so the command has no cooldown", kNumbersOnly})) {
    read.cooldown_ticks = CooldownTicksFromSeconds(cooldown.Json()->get<double>());
  }
  names.has_cooldown = read.cooldown_ticks > 0;
  JudgeNotification(command, members);
  if (!members.colour.Present()) {
    command.AtValue(kWarning,
                    "no \"MessageColor\": the reply comes out black; add for example "
                    "\"MessageColor\": [255, 255, 255]");
  }
  JudgeColourArray(members.colour);
  return read;
}

// A member of the section: skipped without a message, kept with one.
void ReadCommand(std::string_view name, const SettingValue& command, Loading& loading,
                 CustomCommandSettings& settings, CommandNameTable& names,
                 const ServerFilter& servers) {
  for (std::string& message :
       ConfigCheck::ChatNameWarnings("command name", name, {"this command", "the command"})) {
    command.AtKey(kWarning, std::move(message));
  }
  const SettingValue message = MessageMembersOf(command, MessageKeys::kCommand).text;
  if (!command.Takes(JsonKind::kObject, kStops)) {
    // The loader asks for the message first.
    loading.Fail(command.Pointer(), Refusal([&command, key = message.Key()] {
                   static_cast<void>(command.Json()->value(key, std::string()));
                 }));
  }
  if (!command.Judge(JsonKind::kObject, kStops)) {
    return;
  }
  std::string text;
  loading.Load(message, JsonKind::kString, text);
  message.JudgeText(CommandReplyTextRule());
  if (text.empty()) {
    if (!message.Present() || message.IsString()) {
      command.AtValue(kWarning,
                      "a command without a \"Message\" is not registered: players "
                      "typing it get nothing");
    }
    return;
  }
  ConfigCheck::CommandNames& names_here = names.commands.emplace_back(
      ConfigCheck::CommandNames{std::string(name), command.Pointer(), {}, {}, {}, false});
  ConfiguredCommand read = ReadKeptCommand(command, loading, names_here);
  read.name = name;
  read.message = std::move(text);
  // A command of other servers keeps its names in the checks: the file is one for all.
  if (servers.Has(command)) {
    settings.commands.push_back(std::move(read));
  }
}

// An absent or null section, or an empty one of either kind, holds no commands; member
// names need an object, so any other kind stops the loader at its first element.
void ReadCommands(const SettingValue& document, Loading& loading, CustomCommandSettings& settings,
                  CommandNameTable& names) {
  const SettingValue section = document.Member("CustomCommands");
  if (!section.Present()) {
    return;
  }
  const json& value = *section.Json();
  if (value.is_null() || (value.is_array() && value.empty())) {
    section.AtValue(kWarning, fmt::format("is {}, not an object: no custom command is loaded",
                                          value.is_null() ? "null" : "an empty array"));
    return;
  }
  if (!value.is_object()) {
    loading.Fail(section.Pointer(), Refusal([&value] {
                   for (auto member = value.begin(); member != value.end(); ++member) {
                     static_cast<void>(member.key());
                   }
                 }));
    section.Judge(JsonKind::kObject, kStops);
    // Commands written as an array are none, but their replies have always been judged.
    for (const SettingValue& command : section.Entries()) {
      MessageMembersOf(command, MessageKeys::kCommand).text.JudgeText(CommandReplyTextRule());
    }
    return;
  }
  const ServerFilter servers(document);
  for (const auto& [name, command] : section.Members()) {
    ReadCommand(name, command, loading, settings, names, servers);
  }
}

}  // namespace

const ConfigCheck::TextRule& CommandReplyTextRule() {
  static const ConfigCheck::TextRule rule = ConfigCheck::FormattedOnce(
      "a custom command's reply", "the command's reply is never delivered",
      {"PlayerName", "PlayerCount", "ServerName"});
  return rule;
}

const ConfigCheck::TextRule& NoPermissionTextRule() {
  static const ConfigCheck::TextRule rule =
      ConfigCheck::FormattedOnce("the refusal text", "refused players get no line at all", {});
  return rule;
}

const ConfigCheck::TextRule& CooldownLineTextRule() {
  static const ConfigCheck::TextRule rule = ConfigCheck::FormattedOnce(
      "the cooldown line", "players who use a command too soon get no line at all",
      {"Seconds", "Command"});
  return rule;
}

std::int64_t CooldownTicksFromSeconds(double seconds) {
  // NaN fails the comparison and counts as no cooldown too.
  if (!(seconds > 0.0)) {
    return 0;
  }
  return static_cast<std::int64_t>(std::min(seconds, kLongestConfiguredSeconds) *
                                   static_cast<double>(kClockTicksPerSecond));
}

CustomCommandSettings ReadCustomCommandSettings(const SettingValue& document,
                                                CommandNameTable& names) {
  CustomCommandSettings settings;
  Loading loading(document.Findings());
  if (!document.IsObject()) {
    const json& value = document.Json() != nullptr ? *document.Json() : json();
    loading.Fail(document.Pointer(), Refusal([&value] {
                   static_cast<void>(value.value("CustomCommands", json::object()));
                 }));
    settings.unreadable = loading.Error();
    return settings;
  }
  ReadCommands(document, loading, settings, names);
  settings.unreadable = loading.Error();
  if (settings.unreadable) {
    settings.commands.clear();
  }
  names.registrations = ConfigCheck::RegisterCommands(names.commands);
  ConfigCheck::CheckCommandNames(names.registrations, document.Findings());
  settings.no_permission_line =
      document.Member("NoPermission")
          .TextOr(kDefaultNoPermissionLine,
                  {kError, "it is ignored, so refused players get $default"},
                  NoPermissionTextRule());
  const SettingValue cooldown_line = document.Member("CooldownMessage");
  settings.cooldown_line = cooldown_line.TextOr(
      kDefaultCooldownLine, {kError, "it is ignored, so players on cooldown get $default"},
      CooldownLineTextRule());
  if (cooldown_line.IsString()) {
    ConfigCheck::CheckCooldownLineUsed(names.registrations, cooldown_line.Pointer(),
                                       document.Findings());
  }
  return settings;
}

}  // namespace Bellwright
