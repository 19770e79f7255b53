#include "config_checks/finding_summary.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Bellwright::ConfigCheck {
namespace {

Finding Numbered(Severity severity, int line) {
  return {severity, "/TimedMessages/Interval", line, 17, "message " + std::to_string(line)};
}

std::vector<Finding> Findings(int errors, int warnings) {
  std::vector<Finding> findings;
  for (int line = 1; line <= errors + warnings; ++line) {
    findings.push_back(Numbered(line <= errors ? Severity::kError : Severity::kWarning, line));
  }
  return findings;
}

TEST(FindingSummary, CountsBothSeveritiesWithTheirNumber) {
  const struct {
    int errors;
    int warnings;
    std::string text;
  } cases[] = {
      {2, 1, "2 errors, 1 warning"},
      {1, 0, "1 error, 0 warnings"},
      {0, 3, "0 errors, 3 warnings"},
      {12, 2, "12 errors, 2 warnings"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountsText(CountFindings(Findings(c.errors, c.warnings))), c.text) << c.text;
  }
}

TEST(FindingSummary, ListsTheFirstTenInTheCheckersFormatAndSaysHowManyMore) {
  EXPECT_TRUE(SummaryLines("config.json", {}).empty());

  const std::vector<std::string> two = SummaryLines("config.json", Findings(1, 1));
  ASSERT_EQ(two.size(), 3U);
  EXPECT_EQ(two[0], "1 error, 1 warning");
  EXPECT_EQ(two[1], "config.json:1:17: error: /TimedMessages/Interval: message 1");
  EXPECT_EQ(two[2], "config.json:2:17: warning: /TimedMessages/Interval: message 2");

  const std::vector<std::string> ten = SummaryLines("config.json", Findings(0, 10));
  EXPECT_EQ(ten.size(), 11U);
  EXPECT_EQ(ten.back(), "config.json:10:17: warning: /TimedMessages/Interval: message 10");

  const std::vector<std::string> thirteen = SummaryLines("config.json", Findings(3, 10));
  ASSERT_EQ(thirteen.size(), 12U);
  EXPECT_EQ(thirteen[0], "3 errors, 10 warnings");
  EXPECT_EQ(thirteen[10], "config.json:10:17: warning: /TimedMessages/Interval: message 10");
  EXPECT_EQ(thirteen[11], "... and 3 more: bellwright-check config.json lists them all");
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
