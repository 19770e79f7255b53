#include "config_checks/command_name_checks.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <utility>

#include "config_checks/command_chain_checks.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

std::size_t KeyOffset(const Findings& findings, const std::string& pointer) {
  const std::optional<ValuePlace> place = findings.Index().Find(pointer);
  return place ? place->key_offset.value_or(0) : 0;
}

// Every name after the first in the file is the surprise: say which one is used.
void CheckCaseDuplicates(const Registrations& registrations, Findings& findings) {
  for (const RegisteredCommand& entry : registrations.commands) {
    if (entry.names.size() < 2) {
      continue;
    }
    std::vector<std::pair<std::size_t, const CommandNames*>> in_file;
    for (const CommandNames* names : entry.names) {
      in_file.emplace_back(KeyOffset(findings, names->pointer), names);
    }
    std::ranges::sort(in_file);
    for (std::size_t later = 1; later < in_file.size(); ++later) {
      const CommandNames& names = *in_file[later].second;
      findings.AtKey(Severity::kWarning, names.pointer,
                     fmt::format("command name {} equals {} when letter case is ignored: one "
                                 "command is registered, as {}, with the fields of {}",
                                 Quote(names.name), Quote(in_file.front().second->name),
                                 Quote(entry.registered_name), Quote(entry.fields->name)));
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

void CheckCommandNames(const Registrations& registrations, Findings& findings) {
  CheckCaseDuplicates(registrations, findings);
  CheckAliases(registrations, findings);
  CheckChains(registrations, findings);
}

void CheckOptOutCommandName(const Registrations& registrations, const std::string& name,
                            const std::string& pointer, Findings& findings) {
  for (std::string& message : ChatNameWarnings("opt-out command", name, {"it", "it"})) {
    findings.AtValue(Severity::kWarning, pointer, std::move(message));
  }
  if (const auto holder = registrations.HolderOf(name)) {
    findings.AtValue(Severity::kWarning, pointer,
                     fmt::format("opt-out command {} is not registered: {} already has that name "
                                 "(letter case is ignored), so typing it runs that command and "
                                 "nobody can turn timed messages off",
                                 Quote(name), *holder));
  }
}

void CheckCooldownLineUsed(const Registrations& registrations, const std::string& pointer,
                           Findings& findings) {
  if (findings.HasErrorAt(pointer)) {
    return;
  }
  const bool any_cooldown =
      std::ranges::any_of(registrations.commands, [](const RegisteredCommand& command) {
        return command.fields != nullptr && command.fields->has_cooldown;
      });
  if (!any_cooldown) {
    findings.AtValue(Severity::kWarning, pointer,
                     "no custom command has a \"CooldownSeconds\" above 0, so this line is "
                     "never sent; give a command a cooldown, such as \"CooldownSeconds\": 60");
  }
}

}  // namespace Bellwright::ConfigCheck
