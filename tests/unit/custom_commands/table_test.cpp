#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.hpp"
#include "config/colour_reader.hpp"
#include "config_reading.hpp"
#include "custom_commands/custom_command_table.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

CustomCommandTable BuildFromText(const std::string& document) {
  return BuildCustomCommandTable(ReadConfigText(document).settings.custom_commands);
}

CustomCommandTable Build(const char* custom_commands) {
  return BuildFromText(R"({"CustomCommands": )" + std::string(custom_commands) + "}");
}

std::vector<std::string> Keys(const CustomCommandTable& table) {
  std::vector<std::string> keys;
  for (const auto& entry : table) {
    keys.push_back(ToUtf8(entry.first));
  }
  return keys;
}

TEST(CustomCommandTable, NamesDifferingInCaseAreOneEntryKeepingTheFirstSpelling) {
  const CustomCommandTable table =
      Build(R"({"/rules": {"Message": "later"}, "/Rules": {"Message": "earlier"}})");
  ASSERT_EQ(Keys(table), std::vector<std::string>{"/Rules"});
  EXPECT_EQ(ToUtf8(table.begin()->second.Message), "later");
}

TEST(CustomCommandTable, OrdersNamesIgnoringCase) {
  const CustomCommandTable table =
      Build(R"({"b": {"Message": "m"}, "C": {"Message": "m"}, "a": {"Message": "m"}})");
  EXPECT_EQ(Keys(table), (std::vector<std::string>{"a", "b", "C"}));
  EXPECT_NE(table.find(FString("/NOPE")), table.find(FString("A")));
  EXPECT_EQ(table.find(FString("A")), table.begin());
}

TEST(CustomCommandTable, SkipsMembersWithoutAMessageBeforeReadingAnythingElse) {
  const CustomCommandTable table = Build(
      R"({"/a": {"Message": "", "Type": 5}, "/b": {"Type": "Server"}, "/c": {"Message": " "}})");
  EXPECT_EQ(Keys(table), std::vector<std::string>{"/c"});
}

TEST(CustomCommandTable, HoldsNothingForAnAbsentNullOrEmptySection) {
  EXPECT_TRUE(BuildFromText("{}").empty());
  for (const char* section : {"null", "{}", "[]"}) {
    EXPECT_TRUE(Build(section).empty()) << section;
  }
}

TEST(CustomCommandTable, RefusesSectionsAndValuesOfTheWrongType) {
  const char* bad_sections[] = {
      R"([{"Message": "m"}])",
      R"("text")",
      "5",
      "true",
      R"({"/a": "not an object"})",
      R"({"/a": {"Message": "m", "Type": 5}})",
      R"({"/a": {"Message": 5}})",
      R"({"/a": {"Message": "m", "RequiredPermissionGroups": ["Admin", 1]}})",
      R"({"/a": {"Message": "m", "MessageColor": [0, "red", 0]}})",
      R"({"/a": {"Message": "m", "DisplayTime": "long"}})",
  };
  for (const char* section : bad_sections) {
    EXPECT_THROW(Build(section), json::exception) << section;
  }
  EXPECT_THROW(BuildFromText("[]"), json::exception);
}

// Deep enough that walking it recursively overflows the stack.
std::string DeeplyNestedArray() {
  constexpr std::size_t kDepth = 200000;
  return std::string(kDepth, '[') + std::string(kDepth, ']');
}

TEST(CustomCommandTable, RefusesDeeplyNestedValuesWithoutOverflowingTheStack) {
  const std::string nested = DeeplyNestedArray();
  const std::string documents[] = {
      R"({"CustomCommands": )" + nested + "}",
      R"({"CustomCommands": {"/a": {"Message": "m", "MessageColor": )" + nested + "}}}",
      R"({"CustomCommands": {"/a": {"Message": "m", "RequiredPermissionGroups": )" + nested + "}}}",
  };
  for (const std::string& document : documents) {
    EXPECT_THROW(BuildFromText(document), json::exception);
  }
}

TEST(CustomCommandTable, ReadsEveryFieldWithItsConversion) {
  const CustomCommandTable table = Build(R"({"/info": {
      "Message": "Grüße", "Type": "Notification", "Sender": "Bötchen",
      "MessageColor": [10, 20, 30], "RequiredPermissionGroups": ["Admin", "admin", "VIP"],
      "DisplayTime": 4.5, "DisplayScale": 1.25, "Icon_BP": "/Game/Icons/é",
      "Command_To_Execute": "/nächste"}})");
  const CustomCommand& command = table.at(FString("/info"));
  EXPECT_EQ(ToUtf8(command.Message), "Grüße");
  EXPECT_EQ(ToUtf8(command.Sender), "Bötchen");
  EXPECT_EQ(command.Type, "Notification");
  EXPECT_EQ(command.MessageColor, MakeByteColor(10, 20, 30));
  ASSERT_EQ(command.RequiredPermissionGroups.Num(), 2);
  EXPECT_TRUE(command.RequiredPermissionGroups[0].EqualsExactly(FString("Admin")));
  EXPECT_TRUE(command.RequiredPermissionGroups[1].EqualsExactly(FString("VIP")));
  EXPECT_FLOAT_EQ(command.DisplayTime, 4.5F);
  EXPECT_FLOAT_EQ(command.DisplayScale, 1.25F);
  EXPECT_EQ(ToUtf8(command.Icon_BP), "/Game/Icons/é");
  EXPECT_EQ(ToUtf8(command.Command_To_Execute), "/nächste");
}

// Every text of the file is UTF-8: a name or a group outside ASCII must arrive as the
// characters it is, or it could never be typed or matched.
TEST(CustomCommandTable, NamesAndGroupsOutsideAsciiKeepTheirCharacters) {
  const CustomCommandTable table = Build(R"({"/grüß": {"Message": "m",
      "RequiredPermissionGroups": ["Grün", "GRÜN", "Blau"]}})");
  ASSERT_EQ(table.size(), 1U);
  EXPECT_EQ(ToUtf8(table.begin()->first), "/grüß");
  const CustomCommand& command = table.begin()->second;
  ASSERT_EQ(command.RequiredPermissionGroups.Num(), 2);
  EXPECT_EQ(ToUtf8(command.RequiredPermissionGroups[0]), "Grün");
  EXPECT_EQ(ToUtf8(command.RequiredPermissionGroups[1]), "Blau");
}

TEST(CustomCommandTable, AbsentKeysTakeTheirDefaults) {
  const CustomCommandTable table = Build(R"({"/a": {"Message": "m"}})");
  const CustomCommand& command = table.at(FString("/a"));
  EXPECT_EQ(command.Type, "Chat");
  EXPECT_TRUE(command.Sender.IsEmpty());
  EXPECT_EQ(command.MessageColor, MakeByteColor(0, 0, 0));
  EXPECT_TRUE(command.RequiredPermissionGroups.IsEmpty());
  EXPECT_FLOAT_EQ(command.DisplayTime, 0.0F);
  EXPECT_TRUE(command.Command_To_Execute.IsEmpty());
}

TEST(MessageColor, TruncatesKeepsLowEightBitsAndFallsBackToBlack) {
  struct Case {
    std::vector<float> numbers;
    ByteColor color;
  };
  const Case cases[] = {
      {{255.9F, 0.0F, 300.0F}, MakeByteColor(255, 0, 44)},
      {{-1.0F, 0.0F, 0.0F}, MakeByteColor(255, 0, 0)},
      {{-0.9F, 1.9F, 2.0F}, MakeByteColor(0, 1, 2)},
      {{1.0F, 2.0F, 3.0F, 4.0F}, MakeByteColor(1, 2, 3)},
      {{1.0F, 2.0F}, MakeByteColor(0, 0, 0)},
      {{}, MakeByteColor(0, 0, 0)},
      {{1e20F, 257.0F, -1e20F}, MakeByteColor(0, 1, 0)},
  };
  for (const Case& c : cases) {
    const ByteColor color = MessageColorFromNumbers(c.numbers);
    EXPECT_EQ(color, c.color);
    EXPECT_EQ(color.A, 255);
  }
}

}  // namespace
}  // namespace Bellwright

namespace Bellwright {
namespace {

// The new keys read leniently: a value of another type is the default, never a
// reason to refuse the table.
TEST(CustomCommandTable, ReadsAliasesAndCooldownLeniently) {
  const CustomCommandTable table = Build(R"({
    "/a": {"Message": "m", "Aliases": ["/x", 5, "/y"], "CooldownSeconds": 2.5},
    "/b": {"Message": "m", "Aliases": "/x", "CooldownSeconds": "10"},
    "/c": {"Message": "m", "CooldownSeconds": true},
    "/d": {"Message": "m"}})");
  ASSERT_EQ(table.size(), 4U);
  const CustomCommand& a = table.at(FString("/a"));
  ASSERT_EQ(a.Aliases.size(), 2U);
  EXPECT_EQ(ToUtf8(a.Aliases[0]), "/x");
  EXPECT_EQ(ToUtf8(a.Aliases[1]), "/y");
  EXPECT_EQ(a.CooldownTicks, 25'000'000);
  EXPECT_TRUE(table.at(FString("/b")).Aliases.empty());
  EXPECT_EQ(table.at(FString("/b")).CooldownTicks, 0);
  EXPECT_EQ(table.at(FString("/c")).CooldownTicks, 0);
  EXPECT_TRUE(table.at(FString("/d")).Aliases.empty());
  EXPECT_EQ(table.at(FString("/d")).CooldownTicks, 0);
}

}  // namespace
}  // namespace Bellwright
