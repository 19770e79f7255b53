#pragma once

#include <cstddef>
#include <vector>

#include "config_checks/command_registrations.hpp"

namespace Bellwright::ConfigCheck {

class Findings;

// Where each command's Command_To_Execute leads: the index of the command its first
// word reaches (by name or alias), or kNowhere.
inline constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);
std::vector<std::size_t> ChainSteps(const Registrations& registrations);

// How many commands one use of each command runs when nothing stops a chain: the
// command itself and every command its chain reaches, each once. Every command of a
// loop runs the whole loop; `loops` gets each loop once, from where it was entered.
std::vector<std::size_t> ChainLengths(const std::vector<std::size_t>& next,
                                      std::vector<std::vector<std::size_t>>* loops = nullptr);

// Chains that lead back into themselves, and chains longer than the plug-in runs.
void CheckChains(const Registrations& registrations, Findings& findings);

}  // namespace Bellwright::ConfigCheck
