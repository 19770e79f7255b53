#include <gtest/gtest.h>

#include <limits>

#include "fake_audience.hpp"
#include "host_library/events.hpp"
#include "transcript_request.hpp"
#include "views/readable_view.hpp"
#include "views/transcript_sinks.hpp"

namespace {

TEST(SandboxTranscript, FloatsPrintAsTheHostReceivedThem) {
  struct Case {
    float value;
    const char* json;
  };
  const Case cases[] = {
      {1.0F, "1"},
      {0.0F, "0"},
      {255.0F, "255"},
      {0.1F, "0.1"},
      {0.5F, "0.5"},
      {-2.25F, "-2.25"},
      {1.0F / 3, "0.33333334"},
      {std::numeric_limits<float>::infinity(), "\"inf\""},
      {std::numeric_limits<float>::quiet_NaN(), "\"nan\""},
  };
  for (const Case& item : cases) {
    EXPECT_EQ(Sandbox::FloatValue(item.value).dump(), item.json) << item.value;
  }
}

TEST(SandboxTranscript, JsonlWritesOneObjectPerLineEvenForBadUtf8) {
  std::ostringstream out;
  const auto transcript = Sandbox::MakeJsonlTranscript(out);
  transcript->Write({{"t", 5}, {"event", "log"}, {"line", "bad \xFF byte"}});
  transcript->Write({{"t", 6}, {"event", "registry"}, {"console", {"a"}}});
  EXPECT_EQ(out.str(),
            "{\"t\":5,\"event\":\"log\",\"line\":\"bad \xEF\xBF\xBD byte\"}\n"
            "{\"t\":6,\"event\":\"registry\",\"console\":[\"a\"]}\n");
}

TEST(SandboxTranscript, HumanWritesWhatTheViewShows) {
  std::ostringstream out;
  const Sandbox::FakeAudience world(std::vector<Sandbox::Player>{{"A1", "Bot"}});
  const Sandbox::HumanView view({{false, Sandbox::Theme::kDark}, true}, world,
                                &Sandbox::ElapsedTimeLabel);
  const auto transcript = Sandbox::MakeHumanTranscript(out, view);
  transcript->Write(
      {{"t", 3725}, {"event", "chat_message"}, {"to", "A1"}, {"sender", "Bot"}, {"text", "hi"}});
  transcript->Write({{"t", 3726}, {"event", "log"}, {"line", "hidden"}});
  EXPECT_EQ(out.str(), "01:02:05 player  Bot (A1)           chat       Bot: hi\n");
}

TEST(SandboxTranscript, ReadsWhatTheTranscriptOptionsAskFor) {
  struct Case {
    std::vector<std::vector<std::string>> options;
    std::optional<Sandbox::TranscriptFormat> output;
    const char* html_file;
    bool error;
  };
  using Sandbox::TranscriptFormat;
  const Case cases[] = {
      {{}, std::nullopt, "", false},
      {{{"jsonl"}}, TranscriptFormat::kJsonl, "", false},
      {{{"human"}, {"html", "page.html"}}, TranscriptFormat::kHuman, "page.html", false},
      {{{"html", "page.html"}}, std::nullopt, "page.html", false},
      {{{"human"}, {"human"}}, TranscriptFormat::kHuman, "", false},
      {{{"html"}}, std::nullopt, "", true},
      {{{"html", ""}}, std::nullopt, "", true},
      {{{"human", "file"}}, std::nullopt, "", true},
      {{{"human"}, {"jsonl"}}, std::nullopt, "", true},
      {{{"html", "a"}, {"html", "b"}}, std::nullopt, "", true},
      {{{"xml"}}, std::nullopt, "", true},
  };
  for (const Case& test : cases) {
    const Sandbox::TranscriptRequest request = Sandbox::ParseTranscriptRequest(test.options);
    EXPECT_EQ(!request.error.empty(), test.error) << request.error;
    if (!test.error) {
      EXPECT_EQ(request.output, test.output);
      EXPECT_EQ(request.html_file, test.html_file);
    }
  }
}

}  // namespace
