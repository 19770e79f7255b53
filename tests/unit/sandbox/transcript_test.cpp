#include "transcript.hpp"

#include <gtest/gtest.h>

#include <limits>

#include "host_library/events.hpp"

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
  const auto transcript = Sandbox::MakeTranscript(Sandbox::TranscriptFormat::kJsonl, out);
  transcript->Write({{"t", 5}, {"event", "log"}, {"line", "bad \xFF byte"}});
  transcript->Write({{"t", 6}, {"event", "registry"}, {"console", {"a"}}});
  EXPECT_EQ(out.str(),
            "{\"t\":5,\"event\":\"log\",\"line\":\"bad \xEF\xBF\xBD byte\"}\n"
            "{\"t\":6,\"event\":\"registry\",\"console\":[\"a\"]}\n");
}

TEST(SandboxTranscript, HumanLineShowsTimeRecipientKindAndText) {
  const Sandbox::Event message = {
      {"t", 3725}, {"event", "chat_message"}, {"to", "A1"}, {"sender", "Bot"}, {"text", "hi"}};
  EXPECT_EQ(Sandbox::HumanLine(message), "01:02:05 A1           chat       Bot: hi");
  EXPECT_EQ(Sandbox::ParseTranscriptFormat("human"), Sandbox::TranscriptFormat::kHuman);
  EXPECT_FALSE(Sandbox::ParseTranscriptFormat("xml").has_value());
}

}  // namespace
