#include "views/human_transcript.hpp"

#include <gtest/gtest.h>

#include "fake_audience.hpp"
#include "transcript_request.hpp"
#include "views/display_width.hpp"
#include "views/readable_view.hpp"
#include "views/transcript_sinks.hpp"

namespace Sandbox {
namespace {

const FakeAudience kWorld(std::vector<Player>{{"A1", "Alice"},
                                              {"B2", "Bartholomew the Magnificent"}},
                          "A1");
constexpr HumanStyle kPlain{false, Theme::kDark};
constexpr HumanStyle kDarkColour{true, Theme::kDark};
constexpr HumanStyle kLightColour{true, Theme::kLight};
// Time, audience, who and kind columns, each with the blank after it.
constexpr std::size_t kTextColumn = 9 + 8 + 19 + 11;

std::string Format(const char* json, const HumanStyle& style = kPlain,
                   const AudienceContext& world = kWorld) {
  const Event event = Event::parse(json);
  return FormatHumanEvent(event, ClassifyEvent(event, world), "00:00:05", style);
}

TEST(HumanTranscript, WritesEachEventForWhomItIsMeant) {
  struct Case {
    const char* event;
    const char* expected;
  };
  const Case cases[] = {
      {R"({"event":"server_message","to":"A1","color":[0,0,0,1],"text":"Welcome Alice"})",
       "00:00:05 player  Alice (A1)         server     Welcome Alice [0,0,0]\n"},
      {R"({"event":"chat_message","to":"A1","sender":"Server","text":"hi"})",
       "00:00:05 player  Alice (A1)         chat       Server: hi\n"},
      {R"({"event":"notification","to":"Z3","color":[1,1,1,1],"scale":1.5,"time":10,
           "icon":"/Game/Storm","text":"Storm"})",
       "00:00:05 player  Z3                 notify     Storm [255,255,255]  "
       "(scale 1.5, 10 s, icon /Game/Storm)\n"},
      {R"({"event":"player_chat","from":"A1","mode":0,"text":"hello"})",
       "00:00:05 player  everyone           public     Alice (A1): hello  (mode 0)\n"},
      {R"({"event":"server_message","to":"A1","color":[0,1,0,1],"text":"Bellwright: Sent"})",
       "00:00:05 admin   Alice (A1)         reply      Bellwright: Sent [0,255,0]\n"},
      {R"({"event":"rcon_reply","id":3,"text":"Sent"})",
       "00:00:05 admin   RCON #3            reply      Sent\n"},
      {R"({"event":"permission_query","id":"A1","group":"VIP","result":false})",
       "00:00:05 host    Alice (A1)         permission VIP: no\n"},
      {R"({"event":"log","line":"01/01/26 00:00 [Bellwright][error] Load stopped"})",
       "00:00:05 host    server             log        [Bellwright][error] Load stopped\n"},
      {R"({"event":"log","line":"[2026-01-01 00:00:00.000] [x] [info] started"})",
       "00:00:05 host    server             log        [x] [info] started\n"},
      {R"({"event":"unknown_command","via":"console","text":"bw.nothing"})",
       "00:00:05 host    Alice (A1)         unknown    bw.nothing\n"},
      {R"({"event":"sandbox_error","line":7,"text":"unknown command: jion"})",
       "00:00:05 sandbox line 7             error      unknown command: jion\n"},
      {R"({"event":"mystery","a":1})",
       "00:00:05 host    server             mystery    {\"a\":1}\n"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(Format(test.event), test.expected);
  }
}

TEST(HumanTranscript, KeepsTheColumnsAlignedForEveryEvent) {
  const char* events[] = {
      R"({"event":"server_message","to":"B2","color":[0,0,0,1],"text":"X"})",
      R"({"event":"rcon_reply","id":-2147483648,"text":"X"})",
      R"({"event":"chat_message","to":"a-very-long-unique-net-id-0002a1b2c3","sender":"","text":"X"})",
      R"({"event":"host_error","where":"X","what":"y"})",
      R"({"event":"chat_dropped","from":"B2","text":"X"})",
      R"({"event":"sandbox_error","line":123456789,"text":"X"})",
      R"({"event":"unknown_command","via":"rcon","text":"X"})",
  };
  for (const HumanStyle& style : {kPlain, kDarkColour}) {
    for (const char* json : events) {
      const std::string line = Format(json, style);
      const std::size_t text = line.find('X');
      ASSERT_NE(text, std::string::npos) << line;
      // Escapes take no room on the terminal; strip them before measuring.
      std::string shown;
      for (std::size_t index = 0; index < text; ++index) {
        if (line[index] == '\x1b') {
          index = line.find('m', index);
        } else {
          shown += line[index];
        }
      }
      EXPECT_EQ(DisplayWidth(shown), kTextColumn) << line;
    }
  }
  // A long name gives way before the id does.
  EXPECT_NE(Format(R"({"event":"rcon_reply","id":1,"text":"x"})").find("RCON #1"),
            std::string::npos);
  EXPECT_NE(Format(R"({"event":"server_message","to":"B2","text":"x"})").find("Bartholomew… (B2)"),
            std::string::npos);
}

TEST(HumanTranscript, ContinuesMultiLineTextsUnderTheTextColumn) {
  EXPECT_EQ(Format(R"({"event":"rcon_reply","id":1,"text":"one\ntwo"})"),
            "00:00:05 admin   RCON #1            reply      one\n"
            "                                               two\n");
  // The plug-in ends every line of a several-line chat message with a line feed.
  EXPECT_EQ(Format(R"({"event":"chat_message","to":"A1","sender":"Rules","text":
                       "<RichColor Color=\"1, 0, 0, 1\">one</>\n<RichColor Color=\"1, 0, 0, 1\">two</>\n"})"),
            "00:00:05 player  Alice (A1)         chat       Rules: one [255,0,0]\n"
            "                                               two [255,0,0]\n");
}

TEST(HumanTranscript, MakesControlCharactersVisibleInEveryMode) {
  const FakeAudience world(std::vector<Player>{{"A1", "Eve\x1b[2J"}});
  for (const HumanStyle& style : {kPlain, kDarkColour}) {
    const std::string line = Format(
        R"({"event":"player_chat","from":"A1","mode":0,"text":"\u001b[2Jgone"})", style, world);
    EXPECT_NE(line.find("\\x1b[2Jgone"), std::string::npos) << line;
    EXPECT_NE(line.find("Eve\\x1b[2J"), std::string::npos) << line;
    EXPECT_EQ(line.find("\x1b[2J"), std::string::npos) << line;
  }
}

TEST(HumanTranscript, ShowsChatInTheColoursTheGameShows) {
  const char* chat = R"({"event":"chat_message","to":"A1","sender":"",
                         "text":"<RichColor Color=\"1, 0.784314, 0, 1\">Gold</> rest"})";
  EXPECT_EQ(Format(chat, kDarkColour),
            "00:00:05 \x1b[1mplayer\x1b[0m  Alice (A1)         chat       "
            "\x1b[38;2;255;229;0mGold\x1b[0m rest\n");
  // On a light terminal the same gold needs a dark band to be read.
  EXPECT_NE(Format(chat, kLightColour).find("\x1b[38;2;255;229;0m\x1b[48;2;40;40;40mGold"),
            std::string::npos);
  EXPECT_EQ(Format(chat, kPlain),
            "00:00:05 player  Alice (A1)         chat       Gold [255,229,0] rest\n");
}

TEST(HumanTranscript, PaintsServerMessagesInTheirShownColourOnABandWhenNeeded) {
  struct Case {
    const char* colour;
    HumanStyle style;
    const char* painted;
  };
  const Case cases[] = {
      // A configured 255, 128, 0 is handed over as 1, 0.2158605, 0.
      {"[1,0.2158605,0,1]", kDarkColour, "\x1b[38;2;255;128;0mgo\x1b[0m"},
      {"[1,1,1,1]", kDarkColour, "\x1b[38;2;255;255;255mgo\x1b[0m"},
      {"[1,1,1,1]", kLightColour, "\x1b[38;2;255;255;255m\x1b[48;2;40;40;40mgo\x1b[0m"},
      {"[0,0,0,1]", kDarkColour, "\x1b[38;2;0;0;0m\x1b[48;2;220;220;220mgo\x1b[0m"},
      {"[0,0,0,1]", kLightColour, "\x1b[38;2;0;0;0mgo\x1b[0m"},
  };
  for (const Case& test : cases) {
    const std::string json = std::string(R"({"event":"server_message","to":"A1","color":)") +
                             test.colour + R"(,"text":"go"})";
    const std::string line = Format(json.c_str(), test.style);
    EXPECT_NE(line.find(test.painted), std::string::npos) << test.colour << ": " << line;
  }
}

TEST(HumanTranscript, QuietHostLeavesOutWhatOnlyTheHostRecords) {
  const HumanView quiet({kPlain, true}, kWorld, &ElapsedTimeLabel);
  const HumanView full({kPlain, false}, kWorld, &ElapsedTimeLabel);
  const Event host_events[] = {
      Event::parse(R"({"t":1,"event":"permission_query","id":"A1","group":"G","result":true})"),
      Event::parse(R"({"t":1,"event":"log","line":"x"})"),
      Event::parse(R"({"t":1,"event":"registry","console":[],"rcon":[],"chat":[],"hooks":[]})"),
      Event::parse(R"({"t":1,"event":"host_error","where":"x","what":"y"})"),
  };
  for (const Event& event : host_events) {
    EXPECT_EQ(quiet.Lines(event), "") << event;
    EXPECT_NE(full.Lines(event), "") << event;
  }
  const Event kept[] = {
      Event::parse(R"({"t":1,"event":"server_message","to":"A1","text":"x"})"),
      Event::parse(R"({"t":1,"event":"rcon_reply","id":1,"text":"x"})"),
      Event::parse(R"({"t":1,"event":"sandbox_error","line":1,"text":"x"})"),
  };
  for (const Event& event : kept) {
    EXPECT_NE(quiet.Lines(event), "") << event;
  }
  EXPECT_EQ(quiet.Lines(Event::parse(R"({"t":3725,"event":"rcon_reply","id":1,"text":"x"})"))
                .substr(0, 9),
            "01:02:05 ");
}

}  // namespace
}  // namespace Sandbox
