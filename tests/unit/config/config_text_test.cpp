#include "config/config_text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace Bellwright::ConfigCheck {
namespace {

Report CheckConfigText(std::string_view text) {
  return ReadConfigText(text).report;
}

TEST(CheckConfigText, FlagsWhatTheReaderRefusesAndWhatCannotBeChecked) {
  const struct {
    std::string text;
    bool syntax_error;
    bool not_json;
    bool has_errors;
  } cases[] = {
      {"{\"Bellwright\": {}}", false, false, false},
      {"\xEF\xBB\xBF{\"Bellwright\": {}}", false, false, false},
      {"{\"Bellwright\": {}} trailing words", false, false, false},
      {"{\"Bellwright\": {},}", true, true, true},
      {"", true, true, true},
      {"{\"Bellwright\": {\"x\": 1e999}}", true, true, true},
      {"[1, 2]", false, false, true},
      {"{\"a\": " + std::string(100, '[') + std::string(100, ']') + "}", false, true, true},
      {std::string(kMaxTextBytes + 1, ' '), false, true, true},
  };
  for (const auto& c : cases) {
    const Report report = CheckConfigText(c.text);
    EXPECT_EQ(report.syntax_error, c.syntax_error) << c.text.substr(0, 40);
    EXPECT_EQ(report.not_json, c.not_json) << c.text.substr(0, 40);
    EXPECT_EQ(report.HasErrors(), c.has_errors) << c.text.substr(0, 40);
  }
}

TEST(CheckConfigText, PointsASyntaxErrorAtTheFailingCharacter) {
  const Report report = CheckConfigText("{\n  \"Bellwright\": {},\n  \"NoPermission\": 'No'\n}");
  ASSERT_EQ(report.findings.size(), 1U);
  EXPECT_EQ(report.findings[0].line, 3);
  EXPECT_EQ(report.findings[0].column, 19);
  EXPECT_EQ(report.findings[0].pointer, "");
  EXPECT_NE(report.findings[0].message.find("single quotes"), std::string::npos);
}

// The loader reads members in byte order of their names and, within a command, the
// message first; the first value it cannot read is the one to report.
TEST(CheckConfigText, NamesTheValueThatStopsTheCustomCommandsFromLoading) {
  const struct {
    std::string commands;
    std::optional<std::string> failure;
  } cases[] = {
      {R"({"/a": {"Message": "A", "MessageColor": [1, 2, 3]}})", std::nullopt},
      {R"({"/b": {"Message": "B", "Type": 5}, "/a": {"Message": "A", "Sender": 1}})",
       "/CustomCommands/~1a/Sender"},
      {R"({"/a": {"Message": "A", "Type": 5, "MessageColor": "red"}})",
       "/CustomCommands/~1a/MessageColor"},
      {R"({"/a": {"Message": "A", "MessageColor": [1, "2", 3]}})",
       "/CustomCommands/~1a/MessageColor/1"},
      {R"({"/a": {"Message": "A", "MessageColor": [true, 2, 3]}})", std::nullopt},
      {R"({"/a": {"Message": "", "Type": 5}, "/b": {"Type": 5}})", std::nullopt},
      {R"({"/a": {"Message": 7}})", "/CustomCommands/~1a/Message"},
      {R"({"/a": null})", "/CustomCommands/~1a"},
      {R"({"/a": {"Message": "A", "RequiredPermissionGroups": ["VIP", 1]}})",
       "/CustomCommands/~1a/RequiredPermissionGroups/1"},
      {R"({"/a": {"Message": "A", "DisplayTime": "5"}})", "/CustomCommands/~1a/DisplayTime"},
      {R"(["/a"])", "/CustomCommands"},
      {R"("none")", "/CustomCommands"},
      {R"([])", std::nullopt},
      {R"(null)", std::nullopt},
      // The newer keys are read leniently and never stop the others.
      {R"({"/a": {"Message": "A", "Aliases": "/b", "CooldownSeconds": "5"}})", std::nullopt},
      {R"({"/a": {"Message": "A", "Aliases": [1, null], "CooldownSeconds": true}})", std::nullopt},
      {R"({"/a": {"Message": "A", "Aliases": 1, "Type": 5}})", "/CustomCommands/~1a/Type"},
  };
  for (const auto& c : cases) {
    const Report report =
        CheckConfigText(R"({"Bellwright": {}, "CustomCommands": )" + c.commands + "}");
    ASSERT_EQ(report.custom_commands_failure.has_value(), c.failure.has_value()) << c.commands;
    if (c.failure) {
      EXPECT_EQ(report.custom_commands_failure->pointer, *c.failure) << c.commands;
      EXPECT_EQ(report.custom_commands_failure->severity, Severity::kError);
    }
  }
  const Report not_object = CheckConfigText("42");
  ASSERT_TRUE(not_object.custom_commands_failure.has_value());
  EXPECT_EQ(not_object.custom_commands_failure->pointer, "");
}

TEST(CheckConfigText, ListsFindingsInTheOrderOfTheFile) {
  const Report report = CheckConfigText(R"({
  "TimedMessages": { "Enabled": "yes" },
  "Bellwright": { "ServerMessageColour": {} },
  "NoPermission": "{"
})");
  ASSERT_EQ(report.findings.size(), 3U);
  EXPECT_EQ(report.findings[0].pointer, "/TimedMessages/Enabled");
  EXPECT_EQ(report.findings[1].pointer, "/Bellwright/ServerMessageColour");
  EXPECT_EQ(report.findings[2].pointer, "/NoPermission");
  EXPECT_EQ(report.findings[2].column, 20);
}

// Keys in the file in the reverse of their byte order, so that file order is not the
// order the checks walk them in. The custom commands stop loading at a value past the
// findings shown: that finding is still named.
TEST(CheckConfigText, KeepsTheFirstFindingsInTheFileAndCountsTheRest) {
  std::string text = "{";
  for (int key = 250; key > 0; --key) {
    text += "\"k" + std::to_string(1000 + key) + "\": 0, ";
  }
  text += R"("CustomCommands": {"/a": {"Message": 5}}})";
  const Report report = CheckConfigText(text);
  // One finding for the missing "Bellwright" section, one for each key, one for the
  // message.
  ASSERT_EQ(report.findings.size(), kMostFindings);
  EXPECT_EQ(report.omitted_findings, 1 + 250 + 1 - kMostFindings);
  EXPECT_EQ(report.findings[0].pointer, "");
  EXPECT_EQ(report.findings[1].pointer, "/k1250");
  EXPECT_EQ(report.findings.back().pointer, "/k" + std::to_string(1250 - kMostFindings + 2));
  ASSERT_TRUE(report.custom_commands_failure.has_value());
  EXPECT_EQ(report.custom_commands_failure->pointer, "/CustomCommands/~1a/Message");
  EXPECT_EQ(FormatOmittedFindings("c.json", 151),
            "c.json: 151 more findings not shown: the first 100 in the file are");
}

TEST(CheckConfigText, NeverThrowsOnOddInput) {
  for (const std::string& text :
       {std::string("\0\0\0", 3), std::string("{\"\\u0000\": {\"\\ud800\": 1}}"),
        std::string(
            "{\"CustomCommands\": {\"\": {\"Message\": \"x\", \"Command_To_Execute\": \"\"}}}"),
        std::string("{\"Bellwright\": {\"WelcomeMessage\": {\"Message\": \"{0:{}}\"}}}"),
        std::string("{\"TimedMessages\": {\"Messages\": {\"a\": 1}, \"Interval\": -1e308}}"),
        std::string("{\"Bellwright\": {\"ServerMessageColor\": {\"R\": 1e308, \"G\": -1e308}}}")}) {
    const Report report = CheckConfigText(text);
    for (const Finding& finding : report.findings) {
      EXPECT_GE(finding.line, 1);
      EXPECT_GE(finding.column, 1);
      EXPECT_EQ(finding.message.find('\n'), std::string::npos);
    }
  }
}

TEST(CheckConfigText, DoesNotWalkADocumentReadBeforehandThatIsTooDeep) {
  const std::string text = "{\"a\": " + std::string(100000, '[') + std::string(100000, ']') + "}";
  const Report report = CheckConfigText(text);
  EXPECT_TRUE(report.not_json);
  ASSERT_EQ(report.findings.size(), 1U);
  EXPECT_EQ(report.findings[0].column, 70);
}

// At the start no zone is looked up: the zones wait, placed, and their findings later
// are those the checks give at once; the settings are the same either way.
TEST(CheckConfigText, ZonesLeftForLaterGiveTheFindingsOfZonesLookedUpAtOnce) {
  const std::string text = R"({"Bellwright": {}, "Schedules": [
  {"Name": "A", "At": ["06:00"], "TimeZone": "Europe/Berlin"},
  {"Name": "B", "At": ["06:00"], "TimeZone": "Europe/Berln"},
  {"Name": "C", "At": ["06:00"], "TimeZone": 5}]})";
  const ConfigText now = ReadConfigText(text);
  const ConfigText later = ReadConfigText(text, ZoneChecks::kAtTheFirstTimerCall);
  EXPECT_TRUE(now.zones_to_look_up.empty());
  ASSERT_EQ(later.zones_to_look_up.size(), 2U);
  EXPECT_EQ(later.zones_to_look_up[1].name, "Europe/Berln");
  EXPECT_EQ(later.zones_to_look_up[1].pointer, "/Schedules/1/TimeZone");
  EXPECT_EQ(later.settings, now.settings);

  std::vector<Finding> looked_up = LookUpZones(later.zones_to_look_up);
  ASSERT_EQ(looked_up.size(), 1U);
  EXPECT_EQ(later.report.findings.size() + 1, now.report.findings.size());
  const auto same = [&](const Finding& finding) {
    const Finding& found = looked_up.front();
    return finding.pointer == found.pointer && finding.line == found.line &&
           finding.column == found.column && finding.message == found.message &&
           finding.severity == found.severity;
  };
  EXPECT_EQ(std::ranges::count_if(now.report.findings, same), 1);
  EXPECT_EQ(std::ranges::count_if(later.report.findings, same), 0);
}

TEST(FormatFinding, WritesOneCompilerStyleLine) {
  EXPECT_EQ(FormatFinding("config.json",
                          {Severity::kWarning, "/TimedMessages/Intervall", 4, 5, "unknown key"}),
            "config.json:4:5: warning: /TimedMessages/Intervall: unknown key");
  EXPECT_EQ(FormatFinding("c.json", {Severity::kError, "", 1, 1, "syntax error"}),
            "c.json:1:1: error: : syntax error");
  EXPECT_EQ(FormatFinding("c.json", {Severity::kWarning, "/a\nb", 1, 2, "m"}),
            "c.json:1:2: warning: /a\\u000Ab: m");
  // A file name may hold line breaks, terminal controls (ESC, and U+009B, the one
  // character form of ESC [) and bytes that are not UTF-8.
  EXPECT_EQ(FormatFinding("a\nb\x1b[2J\xc2\x9b"
                          "1m\xff\u00e9.json",
                          {Severity::kError, "", 1, 1, "m"}),
            "a\\u000Ab\\u001B[2J\\u009B1m\\xFF\u00e9.json:1:1: error: : m");
  EXPECT_EQ(FormatOmittedFindings("a\rb", 3),
            "a\\u000Db: 3 more findings not shown: the first 100 in the file are");
  EXPECT_EQ(FormatFinding("x", UnreadableFileFinding("No such file or directory")),
            "x:0:0: error: : cannot read the file: No such file or directory");
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
