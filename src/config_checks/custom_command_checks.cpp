#include "config_checks/custom_command_checks.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <vector>

#include "config_checks/command_chain_checks.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/notification_checks.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

constexpr std::string_view kSection = "/CustomCommands";

bool IsNumberRead(const json& value) {
  return value.is_number() || value.is_boolean();
}

// Keys in the order the loader reads them, with the JSON types it accepts.
enum class Read { kString, kNumber, kNumberArray, kStringArray };
struct LoaderKey {
  const char* key;
  Read read;
};
constexpr LoaderKey kLoaderKeys[] = {
    {"MessageColor", Read::kNumberArray},
    {"RequiredPermissionGroups", Read::kStringArray},
    {"DisplayTime", Read::kNumber},
    {"DisplayScale", Read::kNumber},
    {"Type", Read::kString},
    {"Sender", Read::kString},
    {"Icon_BP", Read::kString},
    {"Command_To_Execute", Read::kString},
};

// The element of `value` the loader cannot read: none, the value itself (kWhole),
// or one element.
constexpr std::size_t kWhole = static_cast<std::size_t>(-1);

std::optional<std::size_t> FailureInValue(const json& value, Read read) {
  switch (read) {
    case Read::kString:
      return value.is_string() ? std::nullopt : std::optional(kWhole);
    case Read::kNumber:
      return IsNumberRead(value) ? std::nullopt : std::optional(kWhole);
    case Read::kNumberArray:
    case Read::kStringArray:
      if (!value.is_array()) {
        return kWhole;
      }
      for (std::size_t index = 0; index < value.size(); ++index) {
        const bool readable =
            read == Read::kNumberArray ? IsNumberRead(value[index]) : value[index].is_string();
        if (!readable) {
          return index;
        }
      }
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> FailureInCommand(const std::string& name, const json& command) {
  if (!command.is_object()) {
    return CommandPointer(name);
  }
  const json* message = Member(command, "Message");
  if (message == nullptr) {
    return std::nullopt;
  }
  if (!message->is_string()) {
    return ChildPointer(CommandPointer(name), "Message");
  }
  if (message->get_ref<const std::string&>().empty()) {
    return std::nullopt;
  }
  for (const LoaderKey& key : kLoaderKeys) {
    const json* value = Member(command, key.key);
    if (value == nullptr) {
      continue;
    }
    if (const auto failure = FailureInValue(*value, key.read)) {
      const std::string pointer = ChildPointer(CommandPointer(name), key.key);
      return *failure == kWhole ? pointer : ChildPointer(pointer, *failure);
    }
  }
  return std::nullopt;
}

std::size_t KeyOffset(const Findings& findings, const std::string& name) {
  const std::optional<ValuePlace> place = findings.Index().Find(CommandPointer(name));
  return place ? place->key_offset.value_or(0) : 0;
}

void CheckName(const std::string& name, Findings& findings) {
  for (std::string& message :
       ChatNameWarnings("command name", name, {"this command", "the command"})) {
    findings.AtKey(Severity::kWarning, CommandPointer(name), std::move(message));
  }
}

// Every name after the first in the file is the surprise: say which one is used.
void CheckCaseDuplicates(const Registrations& registrations, Findings& findings) {
  for (const RegisteredCommand& entry : registrations.commands) {
    if (entry.names.size() < 2) {
      continue;
    }
    std::vector<std::pair<std::size_t, std::string>> in_file;
    for (const std::string& name : entry.names) {
      in_file.emplace_back(KeyOffset(findings, name), name);
    }
    std::ranges::sort(in_file);
    for (std::size_t later = 1; later < in_file.size(); ++later) {
      const std::string& name = in_file[later].second;
      findings.AtKey(Severity::kWarning, CommandPointer(name),
                     fmt::format("command name {} equals {} when letter case is ignored: one "
                                 "command is registered, as {}, with the fields of {}",
                                 Quote(name), Quote(in_file.front().second),
                                 Quote(entry.registered_name), Quote(entry.fields_from)));
    }
  }
}

// The aliases registered as they stand, and those the plug-in refuses.
void CheckAliases(const Registrations& registrations, Findings& findings) {
  for (const RegisteredAlias& alias : registrations.aliases) {
    for (std::string& message :
         ChatNameWarnings("alias", alias.name, {"the command", "the alias"})) {
      findings.AtValue(Severity::kWarning, registrations.PointerOf(alias), std::move(message));
    }
  }
  for (const RefusedAlias& refused : registrations.refused) {
    findings.AtValue(Severity::kWarning, refused.pointer, refused.reason);
  }
}

void CheckNotificationValues(const std::string& pointer, const json& command, Findings& findings) {
  const json* type = Member(command, "Type");
  if (type == nullptr || *type != "Notification") {
    return;
  }
  CheckNotificationVisible(command, pointer, "", "the command's notification", findings);
  struct Value {
    const char* key;
    const char* example;
  };
  std::vector<std::string> missing;
  std::vector<std::string> examples;
  for (const Value value : {Value{"DisplayTime", "10"}, Value{"DisplayScale", "1"}}) {
    if (Member(command, value.key) == nullptr) {
      missing.push_back(Quote(value.key));
      examples.push_back(fmt::format("{}: {}", Quote(value.key), value.example));
    }
  }
  if (!missing.empty()) {
    findings.AtValue(Severity::kWarning, pointer,
                     fmt::format("a \"Notification\" command without {}: {} 0, so nobody can see "
                                 "the reply; add for example {}",
                                 fmt::join(missing, " or "),
                                 missing.size() == 1 ? "it defaults to" : "they default to",
                                 fmt::join(examples, " and ")));
  }
}

// The loader turns seconds into host-clock ticks of 100 ns, truncated: less than one
// tick is no cooldown.
bool HasCooldown(const json& command) {
  constexpr double kTicksPerSecond = 10'000'000.0;
  const json* seconds = Member(command, "CooldownSeconds");
  return seconds != nullptr && seconds->is_number() &&
         seconds->get<double>() * kTicksPerSecond >= 1.0;
}

void CheckCommand(const std::string& name, const json& command, Findings& findings) {
  const std::string pointer = CommandPointer(name);
  CheckName(name, findings);
  if (!command.is_object()) {
    return;
  }
  const json* message = Member(command, "Message");
  if (message == nullptr ||
      (message->is_string() && message->get_ref<const std::string&>().empty())) {
    findings.AtValue(Severity::kWarning, pointer,
                     "a command without a \"Message\" is not registered: players typing it get "
                     "nothing");
    return;
  }
  if (!IsKeptCommand(command)) {
    return;
  }
  CheckNotificationValues(pointer, command, findings);
  if (Member(command, "MessageColor") == nullptr) {
    findings.AtValue(Severity::kWarning, pointer,
                     "no \"MessageColor\": the reply comes out black; add for example "
                     "\"MessageColor\": [255, 255, 255]");
  }
}

}  // namespace

std::vector<std::string> ChatNameWarnings(std::string_view what, std::string_view name,
                                          const NameRole& role) {
  std::vector<std::string> warnings;
  if (!name.starts_with('/')) {
    const std::string slashed = "/" + std::string(name);
    warnings.push_back(fmt::format(
        "{0} {1} has no leading \"/\": players type chat commands with one, so {2} does not "
        "reach {3}, while any chat line that starts with the word {1} does; did you mean {2}?",
        what, Quote(name), Quote(slashed), role.reached));
  }
  if (name.find(' ') != std::string_view::npos) {
    warnings.push_back(
        fmt::format("{} {} holds a blank: only the first word of a chat line is "
                    "looked up, so {} is never answered",
                    what, Quote(name), role.answered));
  }
  return warnings;
}

std::optional<std::string> CustomCommandLoaderFailure(const json& document) {
  if (!document.is_object()) {
    return std::string();
  }
  const json* section = Member(document, "CustomCommands");
  if (section == nullptr || section->is_null() || (section->is_array() && section->empty()) ||
      (section->is_object() && section->empty())) {
    return std::nullopt;
  }
  if (!section->is_object()) {
    return std::string(kSection);
  }
  for (const auto& [name, command] : section->items()) {
    if (auto failure = FailureInCommand(name, command)) {
      return failure;
    }
  }
  return std::nullopt;
}

void CheckCustomCommands(const json& document, const Registrations& registrations,
                         Findings& findings) {
  const json* section = Member(document, "CustomCommands");
  if (section == nullptr || !section->is_object()) {
    return;
  }
  for (const auto& [name, command] : section->items()) {
    CheckCommand(name, command, findings);
  }
  CheckCaseDuplicates(registrations, findings);
  CheckAliases(registrations, findings);
  CheckChains(registrations, findings);
}

void CheckCooldownLineUsed(const json& document, const Registrations& registrations,
                           Findings& findings) {
  const std::string pointer = "/CooldownMessage";
  const json* line = Member(document, "CooldownMessage");
  if (line == nullptr || !line->is_string() || findings.HasErrorAt(pointer)) {
    return;
  }
  const bool any_cooldown =
      std::ranges::any_of(registrations.commands, [](const RegisteredCommand& command) {
        return command.fields != nullptr && HasCooldown(*command.fields);
      });
  if (!any_cooldown) {
    findings.AtValue(Severity::kWarning, pointer,
                     "no custom command has a \"CooldownSeconds\" above 0, so this line is "
                     "never sent; give a command a cooldown, such as \"CooldownSeconds\": 60");
  }
}

}  // namespace Bellwright::ConfigCheck
