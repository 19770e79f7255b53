#include "views/audience.hpp"

#include <gtest/gtest.h>

#include "fake_audience.hpp"

namespace Sandbox {
namespace {

const Player kAlice{"A1", "Alice"};
const Player kSam{"S1", "Sam"};

EventAudience Classify(const char* json, const std::string& console_caller = {}) {
  const FakeAudience world({kAlice, kSam}, console_caller);
  return ClassifyEvent(Event::parse(json), world);
}

TEST(Audience, SortsEveryEventIntoWhoItIsFor) {
  struct Case {
    const char* event;
    Audience audience;
    const char* kind;
    const char* who;
  };
  const Case cases[] = {
      {R"({"event":"server_message","to":"A1","color":[0,1,0,1],"text":"Hi"})", Audience::kPlayers,
       "server", "Alice (A1)"},
      {R"({"event":"chat_message","to":"S1","sender":"Bot","text":"Hi"})", Audience::kPlayers,
       "chat", "Sam (S1)"},
      {R"({"event":"notification","to":"Z9","color":[1,1,1,1],"text":"Hi"})", Audience::kPlayers,
       "notify", "Z9"},
      {R"({"event":"player_chat","from":"S1","mode":0,"text":"Hi"})", Audience::kPlayers, "public",
       "everyone"},
      {R"({"event":"rcon_reply","id":12,"text":"Bellwright: Reloaded config"})",
       Audience::kAdministrator, "reply", "RCON #12"},
      {R"({"event":"permission_query","id":"A1","group":"VIP","result":true})", Audience::kHost,
       "permission", "Alice (A1)"},
      {R"({"event":"chat_dropped","from":"A1","text":"too soon"})", Audience::kHost, "dropped",
       "Alice (A1)"},
      {R"({"event":"registry","console":[],"rcon":[],"chat":[],"hooks":[]})", Audience::kHost,
       "registry", "server"},
      {R"({"event":"log","line":"x"})", Audience::kHost, "log", "server"},
      {R"({"event":"unknown_command","via":"rcon","text":"nope"})", Audience::kHost, "unknown",
       "RCON"},
      {R"({"event":"unknown_command","via":"console","text":"nope"})", Audience::kHost, "unknown",
       "console"},
      {R"({"event":"host_error","where":"x","what":"y"})", Audience::kHost, "host error", "server"},
      {R"({"event":"sandbox_error","line":7,"text":"no"})", Audience::kSandbox, "error", "line 7"},
  };
  for (const Case& test : cases) {
    const EventAudience audience = Classify(test.event);
    EXPECT_EQ(audience.audience, test.audience) << test.event;
    EXPECT_EQ(audience.kind, test.kind) << test.event;
    EXPECT_EQ(audience.who, test.who) << test.event;
  }
}

TEST(Audience, TellsTheAnswerToAConsoleCommandFromAMessage) {
  struct Case {
    const char* event;
    const char* caller;
    bool reply;
  };
  const Case cases[] = {
      {R"({"event":"server_message","to":"A1","color":[0,1,0,1],
           "text":"Bellwright: Successfully sent message to everyone"})",
       "A1", true},
      {R"({"event":"server_message","to":"A1","color":[1,0,0,1],"text":"BW: Player not found"})",
       "A1", true},
      // The same text outside a console command is a message an administrator sent.
      {R"({"event":"server_message","to":"A1","color":[0,1,0,1],"text":"Bellwright: hi"})", "",
       false},
      // Sent to someone else while Alice's command runs.
      {R"({"event":"server_message","to":"S1","color":[0,1,0,1],"text":"Bellwright: hi"})", "A1",
       false},
      // Not the plug-in's answer colours, or not its prefix.
      {R"({"event":"server_message","to":"A1","color":[0,0.5,0,1],"text":"Bellwright: hi"})", "A1",
       false},
      {R"({"event":"server_message","to":"A1","color":[0,1,0,1],"text":"Server restart"})", "A1",
       false},
  };
  for (const Case& test : cases) {
    const EventAudience audience = Classify(test.event, test.caller);
    EXPECT_EQ(audience.audience == Audience::kAdministrator, test.reply) << test.event;
    EXPECT_EQ(audience.screens.empty(), test.reply) << test.event;
  }
}

TEST(Audience, PublicChatShowsOnEveryConnectedScreen) {
  const EventAudience audience = Classify(R"({"event":"player_chat","from":"S1","text":"hi"})");
  EXPECT_EQ(audience.screens, (std::vector<Player>{kAlice, kSam}));
  ASSERT_TRUE(audience.speaker);
  EXPECT_EQ(*audience.speaker, kSam);

  const FakeAudience empty_world(std::vector<Player>{});
  const EventAudience alone = ClassifyEvent(
      Event::parse(R"({"event":"player_chat","from":"S1","text":"hi"})"), empty_world);
  EXPECT_EQ(alone.screens, (std::vector<Player>{{"S1", ""}}));
}

TEST(Audience, NamesTheConsoleCallerOfAnUnknownCommand) {
  EXPECT_EQ(Classify(R"({"event":"unknown_command","via":"console","text":"x"})", "S1").who,
            "Sam (S1)");
}

}  // namespace
}  // namespace Sandbox
