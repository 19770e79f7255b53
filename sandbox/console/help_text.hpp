#pragma once

#include <string>
#include <vector>

namespace Sandbox {

// The names the plug-in has registered with the host, in registration order.
struct RegisteredCommands {
  std::vector<std::string> console;
  std::vector<std::string> rcon;
  std::vector<std::string> chat;
};

// The live console's `help`: the sandbox's own commands, then the plug-in's commands
// as registered right now (so a reload shows new custom commands), each with its
// form and an example.
std::string HelpText(const RegisteredCommands& registered);

}  // namespace Sandbox
