#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/text.hpp"
#include "config_reading.hpp"
#include "custom_commands/command_aliases.hpp"
#include "custom_commands/custom_command_table.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;
using Registered = std::vector<std::pair<std::string, std::string>>;  // alias, command

Registered AliasesOf(const char* custom_commands) {
  const CustomCommandTable table = BuildCustomCommandTable(
      SettingsOf(json{{"CustomCommands", json::parse(custom_commands)}}).custom_commands);
  Registered registered;
  for (const CommandAlias& alias : RegistrableAliases(table)) {
    registered.emplace_back(ToUtf8(alias.alias), ToUtf8(alias.command));
  }
  return registered;
}

struct AliasCase {
  const char* description;
  const char* custom_commands;
  Registered expected;
};

void PrintTo(const AliasCase& aliases, std::ostream* out) {
  *out << aliases.description;
}

class RegistrableAliasesTest : public testing::TestWithParam<AliasCase> {};

TEST_P(RegistrableAliasesTest, RegistersFreeNamesInTableThenListOrder) {
  EXPECT_EQ(AliasesOf(GetParam().custom_commands), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RegistrableAliasesTest,
    testing::Values(
        AliasCase{"none", R"({"/a": {"Message": "m"}})", {}},
        AliasCase{"in the table's order, then each list's order",
                  R"({"/z": {"Message": "m", "Aliases": ["/z2", "/z1"]},
                      "/A": {"Message": "m", "Aliases": ["/a2", "/a1"]}})",
                  {{"/a2", "/A"}, {"/a1", "/A"}, {"/z2", "/z"}, {"/z1", "/z"}}},
        AliasCase{"a command's name is taken, in any letter case",
                  R"({"/a": {"Message": "m", "Aliases": ["/B", "/b", "/c"]},
                      "/b": {"Message": "m"}})",
                  {{"/c", "/a"}}},
        AliasCase{"an earlier alias wins, also of a later command",
                  R"({"/a": {"Message": "m", "Aliases": ["/x", "/X"]},
                      "/b": {"Message": "m", "Aliases": ["/x", "/y"]}})",
                  {{"/x", "/a"}, {"/y", "/b"}}},
        AliasCase{"empty or with a blank",
                  R"({"/a": {"Message": "m",
                             "Aliases": ["", " ", "/a b", "/a\tb", " /a", "/a\n", "/ok"]}})",
                  {{"/ok", "/a"}}},
        AliasCase{"a command skipped for want of a message takes no name",
                  R"({"/a": {"Message": "m", "Aliases": ["/gone"]}, "/gone": {"Message": ""}})",
                  {{"/gone", "/a"}}},
        AliasCase{"non-ASCII names keep their characters",
                  R"({"/r\u00e8gles": {"Message": "m", "Aliases": ["/r\u00e9gles"]}})",
                  {{"/r\u00e9gles", "/r\u00e8gles"}}},
        AliasCase{"a list of the wrong type, and elements that are not text",
                  R"({"/a": {"Message": "m", "Aliases": "/x"},
                      "/b": {"Message": "m", "Aliases": [1, null, ["/y"], "/z"]}})",
                  {{"/z", "/b"}}}));

}  // namespace
}  // namespace Bellwright
