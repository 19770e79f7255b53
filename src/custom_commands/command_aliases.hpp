#pragma once

#include <vector>

#include "custom_commands/custom_command_table.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// A further chat-command name and the command (its table key) it stands for.
struct CommandAlias {
  FString alias;
  FString command;
};

// The aliases the table can register, in registration order: command by command in
// the table's order, each command's aliases in their configured order. An alias is
// left out when it is empty, holds a blank, or is already taken, ignoring letter
// case, by a command or an earlier alias.
std::vector<CommandAlias> RegistrableAliases(const CustomCommandTable& table);

}  // namespace Bellwright
