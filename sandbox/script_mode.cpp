#include "script_mode.hpp"

#include <string>

namespace Sandbox {

int RunScript(std::istream& script, CommandInterpreter& interpreter) {
  std::string line;
  for (int line_number = 1; std::getline(script, line); ++line_number) {
    interpreter.ExecuteLine(line, line_number);
  }
  interpreter.Finish();
  return interpreter.ErrorCount() > 0 ? 1 : 0;
}

}  // namespace Sandbox
