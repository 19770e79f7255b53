#include "views/html_page.hpp"

#include <gtest/gtest.h>

#include "fake_audience.hpp"

namespace Sandbox {
namespace {

const FakeAudience kWorld(std::vector<Player>{{"A1", "Alice"}, {"S1", "Sam"}}, "A1");

void Add(HtmlPage& page, const char* json, const std::string& time = "00:00:05") {
  const Event event = Event::parse(json);
  page.Add(event, ClassifyEvent(event, kWorld), time);
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(HtmlPage, EscapesMarkupCharactersAndControls) {
  struct Case {
    const char* text;
    const char* escaped;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"<script>&\"'", "&lt;script&gt;&amp;&quot;&#39;"},
      {"line\nnext", "line\nnext"},
      {"bell\x07", "bell\\x07"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(EscapeHtml(test.text), test.escaped);
  }
}

TEST(HtmlPage, ShowsEachKindOfMessageOnThePlayersScreenInItsShownColour) {
  HtmlPage page;
  Add(page, R"({"event":"server_message","to":"A1","color":[1,0.2158605,0,1],"text":"Restart"})");
  Add(page, R"({"event":"chat_message","to":"A1","sender":"Rules",
                "text":"<RichColor Color=\"1, 0.784314, 0, 1\">one</>\n<RichColor Color=\"1, 0.784314, 0, 1\">two</>\n"})");
  Add(page, R"({"event":"notification","to":"A1","color":[1,1,1,1],"scale":1.2,"time":8,
                "icon":"/Game/Icons/Storm","text":"Storm"})");
  Add(page, R"({"event":"notification","to":"A1","color":[1,1,1,1],"scale":1,"time":5,
                "icon":null,"text":"Calm"})");
  const std::string html = page.Render();
  EXPECT_TRUE(Has(html, R"h(<p class="message server" data-kind="server"><span class="coloured" )h"
                        R"h(style="color: rgb(255, 128, 0)">Restart</span></p>)h"))
      << html;
  EXPECT_TRUE(Has(
      html, R"h(<span class="sender">Rules</span>: <span class="coloured" )h"
            R"h(style="color: rgb(255, 229, 0)">one</span><span>)h"
            "\n"
            R"h(</span><span class="coloured" style="color: rgb(255, 229, 0)">two</span></p>)h"))
      << html;
  EXPECT_TRUE(Has(html, R"(style="font-size: 120%")"));
  EXPECT_TRUE(Has(html, R"(<span class="icon" title="/Game/Icons/Storm">)"));
  EXPECT_TRUE(Has(html, "scale 1.2 · 8 s · icon /Game/Icons/Storm"));
  EXPECT_TRUE(Has(html, "scale 1 · 5 s · no icon"));
  EXPECT_EQ(Count(html, R"(<section class="screen" data-player="A1">)"), 1U);
}

TEST(HtmlPage, NeedsNoNetworkAndNoScript) {
  HtmlPage page({2, 0});
  Add(page, R"({"event":"chat_message","to":"A1","sender":"<script>alert(1)</script>",
                "text":"<img src=\"https://example.org/x.png\"> http://example.org"})");
  const std::string html = page.Render();
  EXPECT_FALSE(Has(html, "<script"));
  EXPECT_FALSE(Has(html, "<img"));
  EXPECT_FALSE(Has(html, "<link"));
  EXPECT_FALSE(Has(html, "url("));
  EXPECT_FALSE(Has(html, "src=\""));
  EXPECT_TRUE(Has(html, "&lt;script&gt;alert(1)&lt;/script&gt;"));
  // A live page reloads itself without script.
  EXPECT_TRUE(Has(html, R"(<meta http-equiv="refresh" content="2">)"));
  EXPECT_FALSE(Has(HtmlPage().Render(), "http-equiv"));
}

TEST(HtmlPage, GivesEachPlayerAColumnAndEachMomentARow) {
  HtmlPage page;
  Add(page, R"({"event":"server_message","to":"S1","text":"first"})", "00:00:01");
  Add(page, R"({"event":"server_message","to":"A1","text":"second"})", "00:00:01");
  Add(page, R"({"event":"player_chat","from":"S1","mode":0,"text":"hi all"})", "00:00:02");
  const std::string html = page.Render();
  EXPECT_EQ(Count(html, R"(<div class="time">)"), 2U);
  EXPECT_TRUE(Has(html, "repeat(2, minmax(20em, 1fr))"));
  // Sam came first, so Sam's column is the first.
  EXPECT_LT(html.find(R"(Sam <span class="id">(S1))"), html.find(R"(Alice <span class="id">(A1))"));
  // Public chat reaches every connected player, under the speaker's character name.
  EXPECT_EQ(Count(html, R"(<span class="sender">Sam</span>: <span>hi all</span>)"), 2U);
}

TEST(HtmlPage, PutsRepliesAndHostRecordsInTheSideColumn) {
  HtmlPage page;
  Add(page, R"({"event":"server_message","to":"A1","color":[0,1,0,1],"text":"Bellwright: Sent"})");
  Add(page, R"({"event":"rcon_reply","id":4,"text":"Bellwright: Reloaded config"})");
  Add(page, R"({"event":"permission_query","id":"S1","group":"VIP","result":true})");
  Add(page, R"({"event":"sandbox_error","line":3,"text":"unknown command"})");
  const std::string html = page.Render();
  EXPECT_FALSE(Has(html, "<section class=\"screen\""));
  EXPECT_TRUE(
      Has(html, R"(<p class="entry admin" data-kind="reply"><span class="who">Alice (A1))"));
  EXPECT_TRUE(Has(html, R"(<span class="who">RCON #4</span><span class="kind">reply</span>)"
                        "Bellwright: Reloaded config"));
  EXPECT_TRUE(Has(html, R"(<p class="entry host" data-kind="permission"><span class="who">)"
                        R"(Sam (S1)</span><span class="kind">permission</span>VIP: yes)"));
  EXPECT_TRUE(Has(html, R"(<p class="entry sandbox")"));
}

TEST(HtmlPage, MarksColoursTheGameScreenSwallows) {
  HtmlPage page;
  Add(page, R"({"event":"chat_message","to":"A1","sender":"S",
                "text":"<RichColor Color=\"0, 0, 0, 255\">black</>"})");
  Add(page, R"({"event":"server_message","to":"A1","color":[1,1,1,1],"text":"white"})");
  EXPECT_EQ(Count(page.Render(), R"(class="hard-to-read")"), 1U);
}

TEST(HtmlPage, KeepsOnlyTheMostRecentMomentsWhenLimited) {
  HtmlPage page({0, 2});
  for (const char* time : {"00:00:01", "00:00:02", "00:00:03"}) {
    Add(page, R"({"event":"rcon_reply","id":1,"text":"x"})", time);
  }
  const std::string html = page.Render();
  EXPECT_FALSE(Has(html, "00:00:01"));
  EXPECT_TRUE(Has(html, "00:00:03"));
  EXPECT_TRUE(Has(html, "1 earlier moments are no longer shown"));
}

}  // namespace
}  // namespace Sandbox
