#pragma once

#include <istream>

#include "console/command_interpreter.hpp"

namespace Sandbox {

// Runs a whole script: every line through the interpreter, then the end of input
// (an implicit unload). Returns the exit status: 0, or 1 when any sandbox_error
// was written.
int RunScript(std::istream& script, CommandInterpreter& interpreter);

}  // namespace Sandbox
