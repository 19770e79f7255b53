#include "commands/steering_arguments.hpp"

#include <gtest/gtest.h>

#include "base/text.hpp"

namespace Bellwright {
namespace {

CommandLine Line(const char* text) {
  return CommandLine(FromUtf8(text));
}

TEST(SteeringArguments, CountdownTakesWholeMinutesTextOrCancel) {
  struct Case {
    const char* line;
    bool accepted;
    bool cancel;
    int minutes;
    std::optional<std::string> text;
    const char* error;
  };
  const Case cases[] = {
      {"bw.countdown 15", true, false, 15, std::nullopt, ""},
      {"bw.countdown 1440", true, false, 1440, std::nullopt, ""},
      {"bw.countdown 007", true, false, 7, std::nullopt, ""},
      {R"(bw.countdown 10 "Update in {Minutes} min, {PlayerName}")", true, false, 10,
       "Update in {Minutes} min, {PlayerName}", ""},
      {"bw.countdown cancel", true, true, 0, std::nullopt, ""},
      {"bw.countdown CANCEL", true, true, 0, std::nullopt, ""},
      {"bw.countdown", false, false, 0, std::nullopt,
       R"(Usage: bw.countdown MINUTES ["TEXT"] [cluster] or bw.countdown cancel [cluster])"},
      {"bw.countdown 0", false, false, 0, std::nullopt,
       R"(MINUTES must be a whole number from 1 to 1440, not "0")"},
      {"bw.countdown -5", false, false, 0, std::nullopt,
       R"(MINUTES must be a whole number from 1 to 1440, not "-5")"},
      {"bw.countdown 1441", false, false, 0, std::nullopt,
       R"(MINUTES must be a whole number from 1 to 1440, not "1441")"},
      {"bw.countdown 2.5", false, false, 0, std::nullopt,
       R"(MINUTES must be a whole number from 1 to 1440, not "2.5")"},
      {"bw.countdown 99999999999", false, false, 0, std::nullopt,
       R"(MINUTES must be a whole number from 1 to 1440, not "99999999999")"},
      {"bw.countdown ten", false, false, 0, std::nullopt,
       R"(MINUTES must be a whole number from 1 to 1440, not "ten")"},
      {"bw.countdown 10 restart soon", false, false, 0, std::nullopt,
       R"(put the text in double quotes: bw.countdown 10 "TEXT")"},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseCountdown(Line(c.line));
    ASSERT_EQ(parsed.request.has_value(), c.accepted) << c.line;
    if (!c.accepted) {
      EXPECT_EQ(parsed.error, c.error) << c.line;
      continue;
    }
    EXPECT_EQ(parsed.request->cancel, c.cancel) << c.line;
    EXPECT_EQ(parsed.request->minutes, c.minutes) << c.line;
    EXPECT_EQ(parsed.request->text, c.text) << c.line;
  }
}

// The word cluster stands last, outside the quotes; anywhere else it is no target.
TEST(SteeringArguments, CountdownForEveryServerEndsWithTheWordCluster) {
  struct Case {
    const char* line;
    bool accepted;
    bool cancel;
    int minutes;
    std::optional<std::string> text;
    bool cluster;
  };
  const Case cases[] = {
      {"bw.countdown 15 cluster", true, false, 15, std::nullopt, true},
      {"bw.countdown 15 CLUSTER", true, false, 15, std::nullopt, true},
      {R"(bw.countdown 5 "Restart of {ServerName}" cluster)", true, false, 5,
       "Restart of {ServerName}", true},
      {"bw.countdown cancel cluster", true, true, 0, std::nullopt, true},
      {R"(bw.countdown 5 "Maps of the cluster")", true, false, 5, "Maps of the cluster", false},
      {R"(bw.countdown 5 "Restart" "cluster")", true, false, 5, "Restart", false},
      {"bw.countdown 15 other cluster", false, false, 0, std::nullopt, false},
      {"bw.countdown cluster", false, false, 0, std::nullopt, false},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseCountdown(Line(c.line));
    ASSERT_EQ(parsed.request.has_value(), c.accepted) << c.line << ": " << parsed.error;
    if (!c.accepted) continue;
    EXPECT_EQ(parsed.request->cancel, c.cancel) << c.line;
    EXPECT_EQ(parsed.request->minutes, c.minutes) << c.line;
    EXPECT_EQ(parsed.request->text, c.text) << c.line;
    EXPECT_EQ(parsed.request->cluster, c.cluster) << c.line;
  }
}

TEST(SteeringArguments, PreviewTakesANameAndAnEntryFromOne) {
  struct Case {
    const char* line;
    bool accepted;
    const char* name;
    std::optional<int> entry;
    const char* error;
  };
  const Case cases[] = {
      {"bw.preview timed", true, "timed", std::nullopt, ""},
      {"bw.preview Timed 3", true, "Timed", 3, ""},
      {"bw.preview welcome", true, "welcome", std::nullopt, ""},
      {"bw.preview", false, "", std::nullopt, "Usage: bw.preview NAME [N]"},
      {"bw.preview timed 0", false, "", std::nullopt,
       R"(N must be a whole number from 1, not "0")"},
      {"bw.preview timed -1", false, "", std::nullopt,
       R"(N must be a whole number from 1, not "-1")"},
      {"bw.preview timed x", false, "", std::nullopt,
       R"(N must be a whole number from 1, not "x")"},
  };
  for (const Case& c : cases) {
    const auto parsed = ParsePreview(Line(c.line));
    ASSERT_EQ(parsed.request.has_value(), c.accepted) << c.line;
    if (!c.accepted) {
      EXPECT_EQ(parsed.error, c.error) << c.line;
      continue;
    }
    EXPECT_EQ(parsed.request->name, c.name) << c.line;
    EXPECT_EQ(parsed.request->entry, c.entry) << c.line;
  }
}

TEST(SteeringArguments, ResumeAndSkipNeedAName) {
  EXPECT_EQ(*ParseAnnouncementName(Line("bw.skip tips"), "bw.skip").request, "tips");
  EXPECT_EQ(*ParseAnnouncementName(Line("bw.resume  TIMED"), "bw.resume").request, "TIMED");
  const auto missing = ParseAnnouncementName(Line("bw.resume"), "bw.resume");
  EXPECT_FALSE(missing.request);
  EXPECT_EQ(missing.error, "Usage: bw.resume NAME|all");
  EXPECT_EQ(ParseAnnouncementName(Line("bw.skip"), "bw.skip").error, "Usage: bw.skip NAME");
}

TEST(SteeringArguments, NextTakesHoursUpToAWeek) {
  EXPECT_EQ(ParseNext(Line("bw.next")).request, 24);
  EXPECT_EQ(ParseNext(Line("bw.next 1")).request, 1);
  EXPECT_EQ(ParseNext(Line("bw.next 168")).request, 168);
  for (const char* refused : {"bw.next 0", "bw.next 169", "bw.next x", "bw.next 2 3"}) {
    const auto parsed = ParseNext(Line(refused));
    EXPECT_FALSE(parsed.request) << refused;
    EXPECT_EQ(parsed.error, "Usage: bw.next [HOURS], HOURS a whole number from 1 to 168")
        << refused;
  }
}

TEST(SteeringArguments, PauseTakesANameAndMinutesUpToAWeek) {
  struct Case {
    const char* line;
    const char* name;  // null: refused
    std::optional<int> minutes;
    const char* error;
  };
  const Case cases[] = {
      {"bw.pause all", "all", std::nullopt, ""},
      {"bw.pause tips 60", "tips", 60, ""},
      {"bw.pause tips 10080", "tips", 10080, ""},
      {R"(bw.pause "Daily restart" 30)", "Daily restart", 30, ""},
      {R"(bw.pause "Daily restart")", "Daily restart", std::nullopt, ""},
      {"bw.pause", nullptr, std::nullopt, "Usage: bw.pause NAME|all [MINUTES]"},
      {"bw.pause tips 0", nullptr, std::nullopt,
       "MINUTES must be a whole number from 1 to 10080, not \"0\""},
      {"bw.pause tips 10081", nullptr, std::nullopt,
       "MINUTES must be a whole number from 1 to 10080, not \"10081\""},
      {"bw.pause tips 1.5", nullptr, std::nullopt,
       "MINUTES must be a whole number from 1 to 10080, not \"1.5\""},
  };
  for (const Case& c : cases) {
    const auto parsed = ParsePause(Line(c.line));
    ASSERT_EQ(parsed.request.has_value(), c.name != nullptr) << c.line;
    if (c.name == nullptr) {
      EXPECT_EQ(parsed.error, c.error) << c.line;
      continue;
    }
    EXPECT_EQ(parsed.request->name, c.name) << c.line;
    EXPECT_EQ(parsed.request->minutes, c.minutes) << c.line;
  }
}

}  // namespace
}  // namespace Bellwright
