#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The chat-command names the custom commands take once the plug-in has registered
// them: every command, then the aliases, in the plug-in's order. The host compares
// names ignoring letter case, unit by unit.
namespace Bellwright::ConfigCheck {

// `name` as the host compares it: UTF-16 units with their letter case folded.
std::u16string FoldedName(std::string_view name);

// An alias as the reader of the custom commands found it: a string of the list, with
// the place of its value for the findings.
struct AliasName {
  std::string name;
  std::string pointer;
};

// A custom command the loader keeps, as the checks across commands see it.
struct CommandNames {
  std::string name;
  std::string pointer;  // of the command
  std::vector<AliasName> aliases;
  // The chat text said after the reply, and where it stands.
  std::optional<std::string> chain;
  std::string chain_pointer;
  bool has_cooldown = false;
};

// Of the kept names equal ignoring case, the host's table keeps the first in the
// loader's order (the byte order of the names) with the fields of the last.
struct RegisteredCommand {
  std::string registered_name;
  const CommandNames* fields = nullptr;    // of the last
  std::vector<const CommandNames*> names;  // every one of them, in the loader's order
};

struct RegisteredAlias {
  std::string name;
  std::size_t command = 0;   // index into Registrations::commands
  std::size_t position = 0;  // in the command's aliases
};

// An alias the plug-in does not register, and why.
struct RefusedAlias {
  std::string pointer;  // the alias's string
  std::string reason;
};

struct Registrations {
  std::vector<RegisteredCommand> commands;  // in the loader's order
  std::vector<RegisteredAlias> aliases;     // in registration order
  std::vector<RefusedAlias> refused;        // in registration order

  // The command a chat word reaches, through its name or an alias.
  [[nodiscard]] std::optional<std::size_t> CommandReachedBy(std::string_view word) const;
  // The pointer of a registered alias's string.
  [[nodiscard]] const std::string& PointerOf(const RegisteredAlias& alias) const;
  // What holds `name` once everything is registered ("the custom command \"/rules\"",
  // "the alias \"/r\" of \"/rules\""); empty when the name is free.
  [[nodiscard]] std::optional<std::string> HolderOf(std::string_view name) const;

  struct Holder {
    std::size_t command = 0;
    std::optional<std::size_t> alias;
  };
  std::unordered_map<std::u16string, Holder> by_folded_name;
};

// The registrations of the kept commands, given in the loader's order. They point into
// `commands`, which must outlive them.
Registrations RegisterCommands(const std::vector<CommandNames>& commands);
Registrations RegisterCommands(std::vector<CommandNames>&&) = delete;

}  // namespace Bellwright::ConfigCheck
