#include "config/checks/custom_command_checks.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <vector>

#include "config/checks/colour_checks.hpp"
#include "config/checks/document_walk.hpp"
#include "config/checks/findings.hpp"
#include "config/checks/json_pointer.hpp"
#include "config/checks/notification_checks.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

constexpr std::string_view kSection = "/CustomCommands";

// The host compares command names ignoring letter case.
std::string CaseFolded(std::string_view name) {
  std::string folded(name);
  std::ranges::transform(folded, folded.begin(), [](char unit) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(unit)));
  });
  return folded;
}

std::string CommandPointer(std::string_view name) {
  return ChildPointer(kSection, name);
}

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
  if (!name.starts_with('/')) {
    findings.AtKey(Severity::kWarning, CommandPointer(name),
                   fmt::format("command name {0} has no leading \"/\": players type chat commands "
                               "with one, so {1} does not reach this command, while any chat line "
                               "that starts with the word {0} does; did you mean {1}?",
                               Quote(name), Quote("/" + name)));
  }
  if (name.find(' ') != std::string::npos) {
    findings.AtKey(Severity::kWarning, CommandPointer(name),
                   fmt::format("command name {} holds a blank: only the first word of a chat line "
                               "is looked up, so the command is never answered",
                               Quote(name)));
  }
}

// The registered commands: the host's table keeps, of the names equal ignoring case,
// the first in the loader's order, with the fields of the last.
struct Registered {
  std::string registered_name;
  std::string fields_from;
  std::vector<std::string> names;  // every kept name, in the loader's order
};

struct RegisteredTable {
  std::vector<Registered> commands;
  std::unordered_map<std::string, std::size_t> by_folded_name;
};

RegisteredTable RegisteredCommands(const json& section) {
  RegisteredTable table;
  table.by_folded_name.reserve(section.size());
  for (const auto& [name, command] : section.items()) {
    if (!IsKeptCommand(command)) {
      continue;
    }
    const auto [slot, inserted] =
        table.by_folded_name.try_emplace(CaseFolded(name), table.commands.size());
    if (inserted) {
      table.commands.push_back({name, name, {}});
    }
    Registered& entry = table.commands[slot->second];
    entry.fields_from = name;
    entry.names.push_back(name);
  }
  return table;
}

// Every name after the first in the file is the surprise: say which one is used.
void CheckCaseDuplicates(const RegisteredTable& table, Findings& findings) {
  for (const Registered& entry : table.commands) {
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

std::string_view FirstWord(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    return {};
  }
  const std::size_t end = text.find(' ', start);
  return text.substr(start, end == std::string_view::npos ? end : end - start);
}

// "a" -> "b" -> "a"; a long loop keeps its ends, so the line stays readable.
std::string ChainText(const std::vector<std::string>& steps) {
  constexpr std::size_t kShownAtEachEnd = 3;
  if (steps.size() <= 2 * kShownAtEachEnd + 1) {
    return fmt::format("{}", fmt::join(steps, " -> "));
  }
  return fmt::format("{} -> ... ({} more) -> {}",
                     fmt::join(steps.begin(), steps.begin() + kShownAtEachEnd, " -> "),
                     steps.size() - 2 * kShownAtEachEnd,
                     fmt::join(steps.end() - kShownAtEachEnd, steps.end(), " -> "));
}

void ReportLoop(const RegisteredTable& table, const std::vector<std::size_t>& loop,
                Findings& findings) {
  std::vector<std::string> steps;
  steps.reserve(loop.size() + 1);
  for (const std::size_t step : loop) {
    steps.push_back(Quote(table.commands[step].registered_name));
  }
  const std::string& start = table.commands[loop.front()].registered_name;
  steps.push_back(Quote(start));
  // The last step leads back to the first: that is where the chain closes.
  const Registered& closing = table.commands[loop.back()];
  findings.AtValue(Severity::kWarning,
                   ChildPointer(CommandPointer(closing.fields_from), "Command_To_Execute"),
                   fmt::format("leads back into its own chain ({}): the plug-in does not run {} "
                               "again while it is still running, so this step does nothing",
                               ChainText(steps), Quote(start)));
}

// A command's chat text runs the command its first word names; the plug-in stops a
// chain that comes back to a command still running. Each command leads to at most
// one other, so every loop is found by following the steps once.
void CheckChains(const json& section, const RegisteredTable& table, Findings& findings) {
  constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);
  std::vector<std::size_t> next(table.commands.size(), kNowhere);
  for (std::size_t index = 0; index < table.commands.size(); ++index) {
    const json* text = Member(section.at(table.commands[index].fields_from), "Command_To_Execute");
    if (text != nullptr && text->is_string()) {
      const auto target =
          table.by_folded_name.find(CaseFolded(FirstWord(text->get_ref<const std::string&>())));
      if (target != table.by_folded_name.end()) {
        next[index] = target->second;
      }
    }
  }
  enum class Mark : unsigned char { kUnseen, kOnPath, kDone };
  std::vector<Mark> marks(table.commands.size(), Mark::kUnseen);
  for (std::size_t start = 0; start < table.commands.size(); ++start) {
    std::vector<std::size_t> path;
    std::size_t at = start;
    while (at != kNowhere && marks[at] == Mark::kUnseen) {
      marks[at] = Mark::kOnPath;
      path.push_back(at);
      at = next[at];
    }
    if (at != kNowhere && marks[at] == Mark::kOnPath) {
      const auto loop_start = std::ranges::find(path, at);
      ReportLoop(table, std::vector<std::size_t>(loop_start, path.end()), findings);
    }
    for (const std::size_t step : path) {
      marks[step] = Mark::kDone;
    }
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

bool IsKeptCommand(const json& command) {
  const json* message = Member(command, "Message");
  return message != nullptr && message->is_string() &&
         !message->get_ref<const std::string&>().empty();
}

bool LoaderReads(const json& document, std::string_view pointer) {
  const std::vector<std::string> tokens = PointerTokens(pointer);
  if (tokens.size() < 3 || tokens[0] != "CustomCommands") {
    return true;
  }
  const json* command = ValueAt(document, CommandPointer(tokens[1]));
  if (command == nullptr || !command->is_object() || tokens[2] == "Message") {
    return true;
  }
  return IsKeptCommand(*command);
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

void CheckCustomCommands(const json& document, Findings& findings) {
  const json* section = Member(document, "CustomCommands");
  if (section == nullptr || !section->is_object()) {
    return;
  }
  for (const auto& [name, command] : section->items()) {
    CheckCommand(name, command, findings);
  }
  const RegisteredTable table = RegisteredCommands(*section);
  CheckCaseDuplicates(table, findings);
  CheckChains(*section, table, findings);
}

}  // namespace Bellwright::ConfigCheck
