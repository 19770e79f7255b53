#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config_checks/command_registrations.hpp"

namespace Bellwright::ConfigCheck {

class Findings;

// How the warnings about a chat-command name speak of what typing the name reaches
// ("this command") and of the name ("the command").
struct NameRole {
  std::string_view reached;
  std::string_view answered;
};

// What is wrong with a chat-command name registered as it stands: no leading "/", a
// blank. `what` names it in the message ("alias").
std::vector<std::string> ChatNameWarnings(std::string_view what, std::string_view name,
                                          const NameRole& role);

// Across the custom commands: names equal ignoring case, the aliases registered and
// refused, chains of commands that loop or run too long.
void CheckCommandNames(const Registrations& registrations, Findings& findings);

// The opt-out command at `pointer`: its form, and whether a custom command or an alias
// already has its name.
void CheckOptOutCommandName(const Registrations& registrations, const std::string& name,
                            const std::string& pointer, Findings& findings);

// A cooldown line at `pointer` while no registered command has a cooldown is never
// sent. Asked after the line's own checks: a line with an error of its own gets no
// second finding.
void CheckCooldownLineUsed(const Registrations& registrations, const std::string& pointer,
                           Findings& findings);

}  // namespace Bellwright::ConfigCheck
