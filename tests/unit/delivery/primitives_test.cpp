#include <gtest/gtest.h>

#include "delivery/delivery.hpp"
#include "delivery/utf8.hpp"
#include "in_process_host.hpp"

namespace Bellwright {
namespace {

class DeliveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world().Join(FString("A1"), FString("Alice"));
    world().Join(FString("B2"), FString("Bob"));
    host.events.clear();
  }
  static Sandbox::World& world() { return Sandbox::TheWorld(); }
  static AShooterPlayerController* Player(const char* id) {
    return world().FindPlayer(FString(id));
  }

  InProcessHost host;
};

TEST_F(DeliveryTest, ServerMessageToOnePlayerCarriesTheDecodedColour) {
  EXPECT_TRUE(
      DeliverServerMessage(Player("A1"), FromUtf8("Grüße"), MakeByteColor(255, 128, 0), false));
  const auto messages = host.Named("server_message");
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_EQ(messages[0]["to"], "A1");
  EXPECT_EQ(messages[0]["text"], "Grüße");
  EXPECT_FLOAT_EQ(messages[0]["color"][0].get<float>(), 1.0F);
  EXPECT_NEAR(messages[0]["color"][1].get<float>(), 0.2159F, 1e-4);
  EXPECT_EQ(messages[0]["color"][3], 1);
}

TEST_F(DeliveryTest, EveryPrimitiveReachesEveryConnectedPlayerInListOrder) {
  const ByteColor red = MakeByteColor(255, 0, 0);
  EXPECT_TRUE(DeliverServerMessage(nullptr, FString("s"), red, true));
  EXPECT_TRUE(DeliverChatMessage(nullptr, FString("c"), FString("Admin"), red, true));
  EXPECT_TRUE(DeliverNotification(nullptr, FString("n"), red, 10.0F, 1.0F, nullptr, true));
  ASSERT_EQ(host.events.size(), 6U);
  for (std::size_t i = 0; i < host.events.size(); i += 2) {
    EXPECT_EQ(host.events[i]["to"], "A1");
    EXPECT_EQ(host.events[i + 1]["to"], "B2");
  }
  EXPECT_EQ(host.events[2]["sender"], "Admin");
  EXPECT_EQ(host.events[2]["text"], "<RichColor Color=\"1, 0, 0, 1\">c</>");
}

TEST_F(DeliveryTest, NotificationPassesScaleAndTimeInTheHostsOrder) {
  EXPECT_TRUE(DeliverNotification(Player("B2"), FString("n"), MakeByteColor(0, 0, 0), 10.0F, 1.5F,
                                  ResolveIcon(FString("/Game/Icons/Bell")), false));
  const auto notes = host.Named("notification");
  ASSERT_EQ(notes.size(), 1U);
  EXPECT_EQ(notes[0]["scale"], 1.5);
  EXPECT_EQ(notes[0]["time"], 10);
  EXPECT_EQ(notes[0]["icon"], "/Game/Icons/Bell");
}

TEST_F(DeliveryTest, IconsResolveOnlyUnderGame) {
  EXPECT_NE(ResolveIcon(FString("/Game/X")), nullptr);
  EXPECT_EQ(ResolveIcon(FString("")), nullptr);
  EXPECT_EQ(ResolveIcon(FString("Game/X")), nullptr);
}

TEST_F(DeliveryTest, ALoneBraceStopsEveryPrimitiveBeforeAnyoneIsReached) {
  const ByteColor black = MakeByteColor(0, 0, 0);
  for (const char* text : {"a { b", "a } b", "{0}", "{}"}) {
    EXPECT_FALSE(DeliverServerMessage(nullptr, FString(text), black, true)) << text;
    EXPECT_FALSE(DeliverChatMessage(Player("A1"), FString(text), FString("s"), black, false));
    EXPECT_FALSE(DeliverNotification(nullptr, FString(text), black, 1, 1, nullptr, true));
  }
  EXPECT_TRUE(host.events.empty());

  EXPECT_TRUE(DeliverServerMessage(Player("A1"), FString("a {{ b }}"), black, false));
  EXPECT_EQ(host.Named("server_message").at(0)["text"], "a { b }");
}

TEST_F(DeliveryTest, SingleDeliveryWithoutAPlayerFails) {
  const ByteColor black = MakeByteColor(0, 0, 0);
  EXPECT_FALSE(DeliverServerMessage(nullptr, FString("x"), black, false));
  EXPECT_FALSE(DeliverChatMessage(nullptr, FString("x"), FString("s"), black, false));
  EXPECT_FALSE(DeliverNotification(nullptr, FString("x"), black, 1, 1, nullptr, false));
  EXPECT_TRUE(host.events.empty());
}

TEST_F(DeliveryTest, EmptyChatMessageIsStillSent) {
  EXPECT_TRUE(DeliverChatMessage(Player("A1"), FString("\n\n"), FString("s"),
                                 MakeByteColor(0, 0, 0), false));
  EXPECT_EQ(host.Named("chat_message").at(0)["text"], "");
}

TEST_F(DeliveryTest, EveryoneWithNobodyConnectedSucceedsAndSendsNothing) {
  world().Reset();
  EXPECT_TRUE(DeliverServerMessage(nullptr, FString("x"), MakeByteColor(0, 0, 0), true));
  EXPECT_TRUE(host.events.empty());
}

TEST_F(DeliveryTest, DepartedPlayersAreSkipped) {
  world().Leave(FString("A1"));
  host.events.clear();
  const ByteColor black = MakeByteColor(0, 0, 0);
  EXPECT_TRUE(DeliverServerMessage(nullptr, FString("x"), black, true));
  EXPECT_TRUE(DeliverChatMessage(nullptr, FString("x"), FString("s"), black, true));
  EXPECT_TRUE(DeliverNotification(nullptr, FString("x"), black, 1, 1, nullptr, true));
  ASSERT_EQ(host.events.size(), 3U);
  for (const auto& event : host.events) EXPECT_EQ(event["to"], "B2");
}

}  // namespace
}  // namespace Bellwright
