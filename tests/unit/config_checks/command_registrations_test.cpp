#include "config_checks/command_registrations.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "config/custom_command_settings.hpp"
#include "config_checks/command_chain_checks.hpp"
#include "config_reading.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

// The names the reader of the custom commands registers from a section.
CommandNameTable NamesOf(const json& section) {
  ReadingOf reading(json{{"CustomCommands", section}});
  CommandNameTable names;
  static_cast<void>(ReadCustomCommandSettings(reading.Value(), names));
  return names;
}

std::vector<std::string> RegisteredAliasNames(const Registrations& registrations) {
  std::vector<std::string> names;
  for (const RegisteredAlias& alias : registrations.aliases) {
    names.push_back(alias.name + "=" + registrations.commands[alias.command].registered_name);
  }
  return names;
}

std::vector<std::string> RefusedPointers(const Registrations& registrations) {
  std::vector<std::string> pointers;
  for (const RefusedAlias& refused : registrations.refused) {
    pointers.push_back(refused.pointer);
  }
  return pointers;
}

// The plug-in registers aliases command by command in the host table's order (names
// compared ignoring case), which is not always the file's byte order.
TEST(CommandRegistrations, RegistersAliasesInTheHostTablesOrder) {
  const struct {
    const char* section;
    std::vector<std::string> aliases;  // "alias=command", in registration order
    std::vector<std::string> refused;  // pointers
  } cases[] = {
      {R"({"/rules": {"Message": "R", "Aliases": ["/r", "/regeln"]}})",
       {"/r=/rules", "/regeln=/rules"},
       {}},
      // Byte order puts "/B" before "/_", the table puts "/_" first.
      {R"({"/B": {"Message": "B", "Aliases": ["/x"]}, "/_": {"Message": "U", "Aliases": ["/X"]}})",
       {"/X=/_"},
       {"/CustomCommands/~1B/Aliases/0"}},
      // A command's name beats any alias; so does an earlier alias of the same command.
      {R"({"/help": {"Message": "H"}, "/rules": {"Message": "R", "Aliases": ["/HELP", "/r", "/R"]}})",
       {"/r=/rules"},
       {"/CustomCommands/~1rules/Aliases/0", "/CustomCommands/~1rules/Aliases/2"}},
      {R"({"/rules": {"Message": "R", "Aliases": ["", "/a b", "/a\tb", 5, "/ok"]}})",
       {"/ok=/rules"},
       {"/CustomCommands/~1rules/Aliases/0", "/CustomCommands/~1rules/Aliases/1",
        "/CustomCommands/~1rules/Aliases/2"}},
      // A command without a message is not registered, nor are its aliases, and its name
      // stays free.
      {R"({"/draft": {"Aliases": ["/d"]}, "/rules": {"Message": "R", "Aliases": ["/draft"]}})",
       {"/draft=/rules"},
       {}},
      // Names equal ignoring case are one command with the fields of the last.
      {R"({"/Rules": {"Message": "A", "Aliases": ["/a"]}, "/rules": {"Message": "B", "Aliases": ["/b"]}})",
       {"/b=/Rules"},
       {}},
      // Letter case folds beyond ASCII, as the host compares names.
      {R"({"/\u00c4rger": {"Message": "A"}, "/x": {"Message": "X", "Aliases": ["/\u00e4RGER"]}})",
       {},
       {"/CustomCommands/~1x/Aliases/0"}},
      {R"({"/rules": {"Message": "R", "Aliases": "/r"}})", {}, {}},
  };
  for (const auto& c : cases) {
    const json section = json::parse(c.section);
    const CommandNameTable names = NamesOf(section);
    const Registrations& registrations = names.registrations;
    EXPECT_EQ(RegisteredAliasNames(registrations), c.aliases) << c.section;
    EXPECT_EQ(RefusedPointers(registrations), c.refused) << c.section;
  }
}

TEST(CommandRegistrations, NamesWhatHoldsAName) {
  const json section =
      json::parse(R"({"/rules": {"Message": "R", "Aliases": ["/r"]}, "/help": {"Message": "H"}})");
  const CommandNameTable names = NamesOf(section);
  const Registrations& registrations = names.registrations;
  EXPECT_EQ(registrations.HolderOf("/HELP"), "the custom command \"/help\"");
  EXPECT_EQ(registrations.HolderOf("/R"), "the alias \"/r\" of \"/rules\"");
  EXPECT_EQ(registrations.HolderOf("/ads"), std::nullopt);
  ASSERT_TRUE(registrations.CommandReachedBy("/r").has_value());
  EXPECT_EQ(registrations.commands[*registrations.CommandReachedBy("/r")].registered_name,
            "/rules");
  EXPECT_EQ(registrations.CommandReachedBy("/r please"), std::nullopt);
}

TEST(CommandChains, FollowsTheFirstWordThroughNamesAndAliases) {
  const json section = json::parse(R"({
    "/a": {"Message": "A", "Command_To_Execute": "  /B  and more"},
    "/b": {"Message": "B", "Aliases": ["/bee"], "Command_To_Execute": "/c"},
    "/c": {"Message": "C", "Command_To_Execute": "/BEE"},
    "/d": {"Message": "D", "Command_To_Execute": "hello /a"},
    "/e": {"Message": "E", "Command_To_Execute": 5}
  })");
  const CommandNameTable names = NamesOf(section);
  const Registrations& registrations = names.registrations;
  EXPECT_EQ(ChainSteps(registrations), (std::vector<std::size_t>{1, 2, 1, kNowhere, kNowhere}));
}

TEST(CommandChains, CountsEveryCommandOneUseRunsOnce) {
  const struct {
    const char* description;
    std::vector<std::size_t> next;
    std::vector<std::size_t> lengths;
  } cases[] = {
      {"no chains", {kNowhere, kNowhere}, {1, 1}},
      {"a line", {1, 2, kNowhere}, {3, 2, 1}},
      {"a command that runs itself", {0}, {1}},
      {"a loop", {1, 2, 0}, {3, 3, 3}},
      {"a tail into a loop", {1, 2, 3, 2}, {4, 3, 2, 2}},
      {"two tails into one line", {2, 2, 3, kNowhere}, {3, 3, 2, 1}},
      {"a tail reaching a loop found earlier", {1, 0, 3, 0}, {2, 2, 4, 3}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChainLengths(c.next), c.lengths) << c.description;
  }
}

TEST(CommandChains, HandlesALongLineWithoutRecursion) {
  constexpr std::size_t kCommands = 200000;
  std::vector<std::size_t> next(kCommands, kNowhere);
  for (std::size_t index = 0; index + 1 < kCommands; ++index) {
    next[index] = index + 1;
  }
  const std::vector<std::size_t> lengths = ChainLengths(next);
  EXPECT_EQ(lengths.front(), kCommands);
  EXPECT_EQ(lengths.back(), 1U);
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
