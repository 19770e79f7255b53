#include "config_checks/command_registrations.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <numeric>

#include "base/unicode.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

// The host matches a typed command by its first blank-separated word, so a name with
// a blank can never be typed; the plug-in refuses other white space in an alias too.
bool HoldsWhiteSpace(std::string_view name) {
  return std::ranges::any_of(
      name, [](char unit) { return unit == ' ' || (unit >= '\t' && unit <= '\r'); });
}

std::string HolderText(const Registrations& registrations, const Registrations::Holder& holder) {
  const std::string& command = registrations.commands[holder.command].registered_name;
  if (!holder.alias) {
    return fmt::format("the custom command {}", Quote(command));
  }
  return fmt::format("the alias {} of {}", Quote(registrations.aliases[*holder.alias].name),
                     Quote(command));
}

std::string TakenReason(const Registrations& registrations, std::string_view alias,
                        std::size_t command, const Registrations::Holder& holder) {
  const std::string holder_name = holder.alias
                                      ? registrations.aliases[*holder.alias].name
                                      : registrations.commands[holder.command].registered_name;
  const std::string_view case_note = holder_name == alias ? "" : " (letter case is ignored)";
  if (holder.alias) {
    // The commands' aliases go in by command name, which need not be the file's order.
    const std::string_view order_note =
        holder.command == command ? "" : ", whose aliases are registered first (by command name)";
    return fmt::format("alias {} is not registered: it is already an alias of {}{}{}", Quote(alias),
                       Quote(registrations.commands[holder.command].registered_name), order_note,
                       case_note);
  }
  return fmt::format("alias {} is not registered: it is the name of the custom command {}{}",
                     Quote(alias), Quote(holder_name), case_note);
}

// Command by command in the host table's order (names compared ignoring case), each
// command's aliases in their order.
void RegisterAliases(Registrations& registrations) {
  std::vector<std::u16string> folded;
  folded.reserve(registrations.commands.size());
  for (const RegisteredCommand& command : registrations.commands) {
    folded.push_back(FoldedName(command.registered_name));
  }
  std::vector<std::size_t> table_order(registrations.commands.size());
  std::iota(table_order.begin(), table_order.end(), std::size_t{0});
  std::ranges::sort(table_order,
                    [&folded](std::size_t a, std::size_t b) { return folded[a] < folded[b]; });
  for (const std::size_t index : table_order) {
    const std::vector<AliasName>& aliases = registrations.commands[index].fields->aliases;
    for (std::size_t position = 0; position < aliases.size(); ++position) {
      const std::string& name = aliases[position].name;
      if (name.empty()) {
        registrations.refused.push_back(
            {aliases[position].pointer, "an empty alias is not registered"});
        continue;
      }
      if (HoldsWhiteSpace(name)) {
        registrations.refused.push_back(
            {aliases[position].pointer,
             fmt::format("alias {} holds {} and is not registered: only the first word of a "
                         "chat line is looked up",
                         Quote(name),
                         name.find(' ') != std::string::npos ? "a blank" : "white space")});
        continue;
      }
      const auto [slot, inserted] = registrations.by_folded_name.try_emplace(
          FoldedName(name), Registrations::Holder{index, registrations.aliases.size()});
      if (!inserted) {
        registrations.refused.push_back(
            {aliases[position].pointer, TakenReason(registrations, name, index, slot->second)});
        continue;
      }
      registrations.aliases.push_back({name, index, position});
    }
  }
}

}  // namespace

std::u16string FoldedName(std::string_view name) {
  // Nearly every name is ASCII, which needs no decoding.
  if (std::ranges::all_of(name,
                          [](char unit) { return static_cast<unsigned char>(unit) < 0x80; })) {
    std::u16string units(name.size(), u'\0');
    std::ranges::transform(name, units.begin(), [](char unit) {
      return Unicode::FoldCase(static_cast<char16_t>(static_cast<unsigned char>(unit)));
    });
    return units;
  }
  std::u16string units = Unicode::Utf8ToUtf16(name);
  std::ranges::transform(units, units.begin(), Unicode::FoldCase);
  return units;
}

std::optional<std::size_t> Registrations::CommandReachedBy(std::string_view word) const {
  const auto found = by_folded_name.find(FoldedName(word));
  if (found == by_folded_name.end()) {
    return std::nullopt;
  }
  return found->second.command;
}

const std::string& Registrations::PointerOf(const RegisteredAlias& alias) const {
  return commands[alias.command].fields->aliases[alias.position].pointer;
}

std::optional<std::string> Registrations::HolderOf(std::string_view name) const {
  const auto found = by_folded_name.find(FoldedName(name));
  if (found == by_folded_name.end()) {
    return std::nullopt;
  }
  return HolderText(*this, found->second);
}

Registrations RegisterCommands(const std::vector<CommandNames>& commands) {
  Registrations registrations;
  registrations.by_folded_name.reserve(commands.size());
  for (const CommandNames& command : commands) {
    const auto [slot, inserted] = registrations.by_folded_name.try_emplace(
        FoldedName(command.name),
        Registrations::Holder{registrations.commands.size(), std::nullopt});
    if (inserted) {
      registrations.commands.push_back({command.name, nullptr, {}});
    }
    RegisteredCommand& entry = registrations.commands[slot->second.command];
    entry.fields = &command;
    entry.names.push_back(&command);
  }
  RegisterAliases(registrations);
  return registrations;
}

}  // namespace Bellwright::ConfigCheck
