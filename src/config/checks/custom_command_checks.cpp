#include "config/checks/custom_command_checks.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <map>
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

std::optional<std::string> FailureInValue(const json& value, Read read,
                                          const std::string& pointer) {
  switch (read) {
    case Read::kString:
      return value.is_string() ? std::nullopt : std::optional(pointer);
    case Read::kNumber:
      return IsNumberRead(value) ? std::nullopt : std::optional(pointer);
    case Read::kNumberArray:
    case Read::kStringArray:
      if (!value.is_array()) {
        return pointer;
      }
      for (std::size_t index = 0; index < value.size(); ++index) {
        const bool readable =
            read == Read::kNumberArray ? IsNumberRead(value[index]) : value[index].is_string();
        if (!readable) {
          return ChildPointer(pointer, index);
        }
      }
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> FailureInCommand(const std::string& name, const json& command) {
  const std::string pointer = CommandPointer(name);
  if (!command.is_object()) {
    return pointer;
  }
  const json* message = Member(command, "Message");
  if (message == nullptr) {
    return std::nullopt;
  }
  if (!message->is_string()) {
    return ChildPointer(pointer, "Message");
  }
  if (message->get_ref<const std::string&>().empty()) {
    return std::nullopt;
  }
  for (const LoaderKey& key : kLoaderKeys) {
    if (const json* value = Member(command, key.key)) {
      if (auto failure = FailureInValue(*value, key.read, ChildPointer(pointer, key.key))) {
        return failure;
      }
    }
  }
  return std::nullopt;
}

// The command names in the order of their place in the file.
std::vector<std::string> NamesInFileOrder(const json& section, const Findings& findings) {
  std::vector<std::pair<std::size_t, std::string>> placed;
  for (const auto& [name, command] : section.items()) {
    const ValuePlace* place = findings.Index().Find(CommandPointer(name));
    placed.emplace_back(place != nullptr ? place->key_offset.value_or(0) : 0, name);
  }
  std::ranges::stable_sort(placed, {}, &std::pair<std::size_t, std::string>::first);
  std::vector<std::string> names;
  for (auto& [offset, name] : placed) {
    names.push_back(std::move(name));
  }
  return names;
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

// One registered command: the table keeps the first name of those equal ignoring case
// (in the loader's order) with the fields of the last.
struct Registered {
  std::string registered_name;
  std::string fields_from;
};

std::map<std::string, Registered> RegisteredCommands(const json& section) {
  std::map<std::string, Registered> table;
  for (const auto& [name, command] : section.items()) {
    if (!IsKeptCommand(command)) {
      continue;
    }
    auto [slot, inserted] = table.try_emplace(CaseFolded(name), Registered{name, name});
    slot->second.fields_from = name;
  }
  return table;
}

void CheckCaseDuplicates(const json& section, const std::vector<std::string>& file_order,
                         const std::map<std::string, Registered>& table, Findings& findings) {
  std::map<std::string, std::string> first_seen;
  for (const std::string& name : file_order) {
    if (!IsKeptCommand(section.at(name))) {
      continue;
    }
    const std::string folded = CaseFolded(name);
    const auto [earlier, inserted] = first_seen.try_emplace(folded, name);
    if (inserted) {
      continue;
    }
    const Registered& entry = table.at(folded);
    findings.AtKey(Severity::kWarning, CommandPointer(name),
                   fmt::format("command name {} equals {} when letter case is ignored: one command "
                               "is registered, as {}, with the fields of {}",
                               Quote(name), Quote(earlier->second), Quote(entry.registered_name),
                               Quote(entry.fields_from)));
  }
}

std::string FirstWord(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    return {};
  }
  const std::size_t end = text.find(' ', start);
  return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

// A command's chat text runs the command its first word names; the plug-in stops a
// chain that comes back to a command still running.
void CheckChains(const json& section, const std::map<std::string, Registered>& table,
                 Findings& findings) {
  std::map<std::string, std::string> next;
  for (const auto& [folded, entry] : table) {
    const json* text = Member(section.at(entry.fields_from), "Command_To_Execute");
    if (text != nullptr && text->is_string()) {
      const std::string target = CaseFolded(FirstWord(text->get_ref<const std::string&>()));
      if (table.contains(target)) {
        next[folded] = target;
      }
    }
  }
  enum class Mark { kUnseen, kOnPath, kDone };
  std::map<std::string, Mark> marks;
  for (const auto& [start, target] : next) {
    std::vector<std::string> path;
    std::string at = start;
    while (marks[at] == Mark::kUnseen && next.contains(at)) {
      marks[at] = Mark::kOnPath;
      path.push_back(at);
      at = next.at(at);
    }
    if (marks[at] == Mark::kOnPath) {
      // `at` opens the loop, so the step that leads back to it closes it.
      const auto loop_start = std::ranges::find(path, at);
      std::string chain;
      for (auto step = loop_start; step != path.end(); ++step) {
        chain += Quote(table.at(*step).registered_name) + " -> ";
      }
      chain += Quote(table.at(at).registered_name);
      const Registered& closing = table.at(path.back());
      findings.AtValue(
          Severity::kWarning,
          ChildPointer(CommandPointer(closing.fields_from), "Command_To_Execute"),
          fmt::format("leads back into its own chain ({}): the plug-in does not run {} again "
                      "while it is still running, so this step does nothing",
                      chain, Quote(table.at(at).registered_name)));
    }
    for (const std::string& step : path) {
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
  const std::vector<std::string> file_order = NamesInFileOrder(*section, findings);
  for (const std::string& name : file_order) {
    CheckCommand(name, section->at(name), findings);
  }
  const std::map<std::string, Registered> table = RegisteredCommands(*section);
  CheckCaseDuplicates(*section, file_order, table, findings);
  CheckChains(*section, table, findings);
}

}  // namespace Bellwright::ConfigCheck
