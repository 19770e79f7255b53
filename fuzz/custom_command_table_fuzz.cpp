// Arbitrary bytes as a configuration document, built into the custom-command table the
// way a reload does. The JSON library's errors are the reload's refusal of a bad
// document; anything else escaping, or a table that breaks its own rules, is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <set>
#include <string_view>

#include "config/config_text.hpp"
#include "custom_commands/command_aliases.hpp"
#include "custom_commands/custom_command_table.hpp"

namespace {

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

bool HasDistinctGroups(const TArray<FString>& groups) {
  for (int first = 0; first < groups.Num(); ++first) {
    for (int second = first + 1; second < groups.Num(); ++second) {
      if (groups[first] == groups[second]) {
        return false;
      }
    }
  }
  return true;
}

void CheckTable(const Bellwright::CustomCommandTable& table, const nlohmann::json& document) {
  const auto section = document.find("CustomCommands");
  Require(table.empty() || (section != document.end() && table.size() <= section->size()));
  for (const auto& [name, command] : table) {
    // A member without a message is not a command.
    Require(!command.Message.IsEmpty());
    Require(command.MessageColor.A == 255);
    Require(HasDistinctGroups(command.RequiredPermissionGroups));
    Require(command.CooldownTicks >= 0);
  }
  // Every registered name is distinct ignoring case, and each alias stands for a
  // command of the table.
  std::set<FString, FStringCaseInsensitiveLess> names;
  for (const auto& entry : table) {
    names.insert(entry.first);
  }
  for (const Bellwright::CommandAlias& alias : Bellwright::RegistrableAliases(table)) {
    Require(!alias.alias.IsEmpty() && names.insert(alias.alias).second);
    Require(table.contains(alias.command));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Read exactly as the configuration file is read; a syntax error is a refused file.
  const Bellwright::ConfigText read =
      Bellwright::ReadConfigText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (read.report.syntax_error) {
    return 0;
  }
  try {
    CheckTable(Bellwright::BuildCustomCommandTable(read.settings.custom_commands), read.document);
  } catch (const nlohmann::json::exception&) {
  }
  return 0;
}
