#include <gtest/gtest.h>

#include "base/text.hpp"
#include "delivery/delivery.hpp"
#include "in_process_host.hpp"

namespace Bellwright {
namespace {

constexpr MessageKind kEveryKind[] = {MessageKind::kServer, MessageKind::kChat,
                                      MessageKind::kNotification};

MessageStyle Colored(ByteColor color) {
  MessageStyle style;
  style.color = color;
  return style;
}

class DeliveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world().Join(FString("A1"), FString("Alice"));
    world().Join(FString("B2"), FString("Bob"));
    host.events.clear();
  }
  static Sandbox::World& world() { return Sandbox::TheWorld(); }
  static Recipient Player(const char* id) {
    return Recipient::Player(world().FindPlayer(FString(id)));
  }

  InProcessHost host;
};

TEST(MessageKind, ComesFromTheConfiguredTypeNameLetterCaseCounting) {
  EXPECT_EQ(MessageKindFromTypeName("Server"), MessageKind::kServer);
  EXPECT_EQ(MessageKindFromTypeName("Chat"), MessageKind::kChat);
  EXPECT_EQ(MessageKindFromTypeName("Client"), MessageKind::kChat);
  EXPECT_EQ(MessageKindFromTypeName("Notification"), MessageKind::kNotification);
  for (const char* name : {"server", "CHAT", "", "Notification ", "Broadcast"}) {
    EXPECT_FALSE(MessageKindFromTypeName(name).has_value()) << name;
  }
}

TEST_F(DeliveryTest, ServerMessageToOnePlayerCarriesTheDecodedColour) {
  EXPECT_TRUE(Deliver(MessageKind::kServer, FromUtf8("Grüße"), Colored(MakeByteColor(255, 128, 0)),
                      Player("A1")));
  const auto messages = host.Named("server_message");
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_EQ(messages[0]["to"], "A1");
  EXPECT_EQ(messages[0]["text"], "Grüße");
  EXPECT_FLOAT_EQ(messages[0]["color"][0].get<float>(), 1.0F);
  EXPECT_NEAR(messages[0]["color"][1].get<float>(), 0.2159F, 1e-4);
  EXPECT_EQ(messages[0]["color"][3], 1);
}

TEST_F(DeliveryTest, EveryKindReachesEveryConnectedPlayerInListOrder) {
  MessageStyle style = Colored(MakeByteColor(255, 0, 0));
  style.sender = FString("Admin");
  for (const MessageKind kind : kEveryKind) {
    EXPECT_TRUE(Deliver(kind, FString("m"), style, Recipient::Everyone()));
  }
  ASSERT_EQ(host.events.size(), 6U);
  for (std::size_t i = 0; i < host.events.size(); i += 2) {
    EXPECT_EQ(host.events[i]["to"], "A1");
    EXPECT_EQ(host.events[i + 1]["to"], "B2");
  }
  EXPECT_EQ(host.events[2]["sender"], "Admin");
  EXPECT_EQ(host.events[2]["text"], "<RichColor Color=\"1, 0, 0, 1\">m</>");
}

TEST_F(DeliveryTest, NotificationPassesScaleAndTimeInTheHostsOrder) {
  MessageStyle style;
  style.display_time = 10.0F;
  style.display_scale = 1.5F;
  style.icon = ResolveIcon(FString("/Game/Icons/Bell"));
  EXPECT_TRUE(Deliver(MessageKind::kNotification, FString("n"), style, Player("B2")));
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

TEST_F(DeliveryTest, ALoneBraceStopsEveryKindBeforeAnyoneIsReached) {
  for (const MessageKind kind : kEveryKind) {
    for (const char* text : {"a { b", "a } b", "{0}", "{}"}) {
      EXPECT_FALSE(Deliver(kind, FString(text), MessageStyle{}, Recipient::Everyone())) << text;
      EXPECT_FALSE(Deliver(kind, FString(text), MessageStyle{}, Player("A1"))) << text;
    }
  }
  EXPECT_TRUE(host.events.empty());

  EXPECT_TRUE(Deliver(MessageKind::kServer, FString("a {{ b }}"), MessageStyle{}, Player("A1")));
  EXPECT_EQ(host.Named("server_message").at(0)["text"], "a { b }");
}

TEST_F(DeliveryTest, SingleDeliveryWithoutAPlayerFails) {
  for (const MessageKind kind : kEveryKind) {
    EXPECT_FALSE(Deliver(kind, FString("x"), MessageStyle{}, Recipient::Player(nullptr)));
  }
  EXPECT_TRUE(host.events.empty());
}

TEST_F(DeliveryTest, EmptyChatMessageIsStillSent) {
  EXPECT_TRUE(Deliver(MessageKind::kChat, FString("\n\n"), MessageStyle{}, Player("A1")));
  EXPECT_EQ(host.Named("chat_message").at(0)["text"], "");
}

TEST_F(DeliveryTest, EveryoneWithNobodyConnectedSucceedsAndSendsNothing) {
  world().Reset();
  for (const MessageKind kind : kEveryKind) {
    EXPECT_TRUE(Deliver(kind, FString("x"), MessageStyle{}, Recipient::Everyone()));
  }
  EXPECT_TRUE(host.events.empty());
}

TEST_F(DeliveryTest, DepartedPlayersAreSkipped) {
  world().Leave(FString("A1"));
  host.events.clear();
  for (const MessageKind kind : kEveryKind) {
    EXPECT_TRUE(Deliver(kind, FString("x"), MessageStyle{}, Recipient::Everyone()));
  }
  ASSERT_EQ(host.events.size(), 3U);
  for (const auto& event : host.events) EXPECT_EQ(event["to"], "B2");
}

}  // namespace
}  // namespace Bellwright
