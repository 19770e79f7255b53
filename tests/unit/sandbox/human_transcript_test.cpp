#include "human_transcript.hpp"

#include <gtest/gtest.h>

namespace Sandbox {
namespace {

using Json = nlohmann::ordered_json;

Json Event(const char* text) {
  return Json::parse(text);
}

TEST(HumanTranscript, AlignsTimeRecipientKindAndText) {
  struct Case {
    const char* event;
    const char* expected;
  };
  const Case cases[] = {
      {R"({"t":5,"event":"server_message","to":"A1","color":[0,0,0,1],"text":"Welcome Alice"})",
       "00:00:05 A1           server     Welcome Alice\n"},
      {R"({"t":5,"event":"chat_message","to":"A1","sender":"Server","text":"hi"})",
       "00:00:05 A1           chat       Server: hi\n"},
      {R"({"t":5,"event":"notification","to":"B2","color":[1,1,1,1],"scale":1.5,"time":10,
           "icon":null,"text":"Storm"})",
       "00:00:05 B2           notify     Storm  (scale 1.5, 10 s)\n"},
      {R"({"t":5,"event":"rcon_reply","id":3,"text":"Sent"})",
       "00:00:05 rcon #3      reply      Sent\n"},
      {R"({"t":5,"event":"sandbox_error","line":7,"text":"unknown command: jion"})",
       "00:00:05 line 7       error      unknown command: jion\n"},
      {R"({"t":5,"event":"mystery","a":1})", "00:00:05 -            mystery    {\"a\":1}\n"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(FormatHumanEvent(Event(test.event), "00:00:05", false), test.expected);
  }
}

TEST(HumanTranscript, ContinuesMultiLineTextsUnderTheTextColumn) {
  const Json event = Event(R"({"t":0,"event":"rcon_reply","id":1,"text":"one\ntwo"})");
  EXPECT_EQ(FormatHumanEvent(event, "12:00:00", false),
            "12:00:00 rcon #1      reply      one\n"
            "                                 two\n");
}

TEST(HumanTranscript, MakesControlCharactersVisibleInEveryMode) {
  const Json event =
      Event(R"({"t":0,"event":"player_chat","from":"A1","mode":0,"text":"\u001b[2Jgone"})");
  for (const bool colour : {false, true}) {
    const std::string line = FormatHumanEvent(event, "12:00:00", colour);
    EXPECT_NE(line.find("\\x1b[2Jgone"), std::string::npos) << line;
    EXPECT_EQ(line.find("\x1b[2J"), std::string::npos) << line;
  }
}

TEST(HumanTranscript, ColoursChatByItsTagsOnlyOnTerminals) {
  const Json event = Event(R"({"t":0,"event":"chat_message","to":"A1","sender":"",)"
                           R"("text":"<RichColor Color=\"1, 0, 0, 1\">Red</> rest"})");
  EXPECT_EQ(FormatHumanEvent(event, "12:00:00", true),
            "12:00:00 A1           chat       \x1b[38;2;255;0;0mRed\x1b[0m rest\n");
  EXPECT_EQ(FormatHumanEvent(event, "12:00:00", false),
            "12:00:00 A1           chat       <RichColor Color=\"1, 0, 0, 1\">Red</> rest\n");
}

TEST(HumanTranscript, PaintsServerMessagesInTheirColourKeepingDarkOnesReadable) {
  const Json green =
      Event(R"({"t":0,"event":"server_message","to":"A1","color":[0,1,0,1],"text":"go"})");
  EXPECT_EQ(FormatHumanEvent(green, "12:00:00", true),
            "12:00:00 A1           server     \x1b[38;2;0;255;0mgo\x1b[0m\n");
  const Json black =
      Event(R"({"t":0,"event":"server_message","to":"A1","color":[0,0,0,1],"text":"hi"})");
  EXPECT_NE(FormatHumanEvent(black, "12:00:00", true).find("\x1b[48;2;"), std::string::npos);
}

}  // namespace
}  // namespace Sandbox
