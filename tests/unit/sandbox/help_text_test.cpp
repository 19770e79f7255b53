#include "console/help_text.hpp"

#include <gtest/gtest.h>

namespace Sandbox {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(HelpText, ListsThePluginsCommandsWithTheirFormsAndAnExample) {
  const std::vector<std::string> administrative = {
      "bw.sendserver",   "bw.sendchat", "bw.sendnotification", "bw.reload",
      "bw.chatasplayer", "bw.status",   "bw.preview",          "bw.pause",
      "bw.resume",       "bw.countdown"};
  const std::string help = HelpText({administrative, administrative, {"/rules", "/vote"}});
  const char* expected[] = {
      R"(bw.sendserver TARGET "message" [R G B])",
      R"(bw.sendchat TARGET SENDER "message" [R G B])",
      R"(bw.sendnotification TARGET "message" [SCALE TIME R G B ICON])",
      R"(bw.chatasplayer ID MODE "text")",
      "bw.preview NAME [N]",
      "bw.pause NAME|all",
      "bw.resume NAME|all",
      R"(bw.countdown MINUTES ["TEXT"] | cancel)",
      "e.g. rcon bw.status",
      R"(e.g. rcon bw.sendserver 0 "Server restart in 5 minutes" 255 128 0)",
      "e.g. rcon bw.reload",
      "`console ID ...`",
      "`rcon ...`",
      "e.g. chat A1 /rules",
      "e.g. chat A1 /vote",
      "join ID TEXT",
      "e.g. join A1 Alice",
  };
  for (const char* part : expected) {
    EXPECT_TRUE(Has(help, part)) << part << "\n" << help;
  }
  EXPECT_TRUE(Has(help, "console and RCON"));
}

TEST(HelpText, FollowsTheRegistryAsItIsNow) {
  // After a reload with a new custom command, and a command only RCON knows.
  const std::string help = HelpText({{"bw.reload"}, {"bw.reload", "bw.other"}, {"/new"}});
  EXPECT_TRUE(Has(help, "e.g. chat A1 /new"));
  EXPECT_TRUE(Has(help, "bw.other ..."));
  EXPECT_TRUE(Has(help, "e.g. rcon bw.other"));
  EXPECT_FALSE(Has(help, "bw.sendserver TARGET"));

  const std::string unloaded = HelpText({});
  EXPECT_TRUE(Has(unloaded, "registered no commands"));
  EXPECT_FALSE(Has(unloaded, "custom chat commands"));
}

}  // namespace
}  // namespace Sandbox
