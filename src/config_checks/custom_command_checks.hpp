#pragma once

#include <nlohmann/json.hpp>
#include <optional>
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

// The first value, in the loader's reading order, that makes the loader throw.
std::optional<std::string> CustomCommandLoaderFailure(const nlohmann::json& document);

// Names, duplicate names, aliases, chains of commands, missing messages, colours and
// notification values of the custom commands.
void CheckCustomCommands(const nlohmann::json& document, const Registrations& registrations,
                         Findings& findings);

// A "CooldownMessage" while no registered command has a cooldown is never sent. Runs
// after the checks of the texts: a line that already has an error of its own gets no
// second finding.
void CheckCooldownLineUsed(const nlohmann::json& document, const Registrations& registrations,
                           Findings& findings);

}  // namespace Bellwright::ConfigCheck
