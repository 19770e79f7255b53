#include "custom_commands/custom_command_table.hpp"

#include <utility>

namespace Bellwright {

CustomCommandTable BuildCustomCommandTable(const nlohmann::json& document) {
  CustomCommandTable table;
  for (NamedCustomCommand& entry : ReadCustomCommands(document)) {
    table[std::move(entry.name)] = std::move(entry.command);
  }
  return table;
}

}  // namespace Bellwright
