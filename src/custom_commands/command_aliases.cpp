#include "custom_commands/command_aliases.hpp"

#include <algorithm>
#include <set>

namespace Bellwright {
namespace {

// The host matches a typed command by its first blank-separated word, so a name with
// a blank could never be typed; other white space is as unlikely to be meant.
bool HoldsBlank(const FString& name) {
  const std::u16string& units = name.Wide();
  return std::any_of(units.begin(), units.end(), [](char16_t unit) {
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
  });
}

}  // namespace

std::vector<CommandAlias> RegistrableAliases(const CustomCommandTable& table) {
  // The table is ordered as the set is: each name goes in at the end, without a search.
  std::set<FString, FStringCaseInsensitiveLess> taken;
  for (const auto& entry : table) {
    taken.insert(taken.end(), entry.first);
  }
  std::vector<CommandAlias> aliases;
  for (const auto& [command, record] : table) {
    for (const FString& alias : record.Aliases) {
      if (alias.IsEmpty() || HoldsBlank(alias) || !taken.insert(alias).second) {
        continue;
      }
      aliases.push_back({alias, command});
    }
  }
  return aliases;
}

}  // namespace Bellwright
