// Messages for every server between servers: what one encodes, another decodes to the same
// request, whatever its texts hold; what no version sends is passed over.
#include "opt_out/cluster_message.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Bellwright {
namespace {

bool Same(const ClusterMessage& a, const ClusterMessage& b) {
  if (a.index() != b.index()) return false;
  if (const auto* first = std::get_if<ClusterDelivery>(&a)) {
    const auto& second = std::get<ClusterDelivery>(b);
    return first->kind == second.kind && first->text == second.text &&
           first->sender == second.sender && first->color == second.color &&
           first->display_scale == second.display_scale &&
           first->display_time == second.display_time && first->icon == second.icon;
  }
  if (const auto* first = std::get_if<ClusterCountdown>(&a)) {
    const auto& second = std::get<ClusterCountdown>(b);
    return first->minutes == second.minutes && first->text == second.text;
  }
  return true;
}

TEST(ClusterMessageTest, EveryRequestComesOutAsItWentIn) {
  const std::string awkward = std::string("\"quotes\" 'single' back\\slash {braces} \0 NUL ", 44) +
                              "\xf0\x9f\x94\x94 \xe6\x97\xa5\xe6\x9c\xac\n\t";
  const std::vector<ClusterMessage> messages = {
      ClusterDelivery{MessageKind::kServer, "Restart soon", "", MakeByteColor(255, 64, 0), 0, 0,
                      ""},
      ClusterDelivery{MessageKind::kChat, awkward, "Admin \"Bob\"", MakeByteColor(0, 255, 0), 0, 0,
                      ""},
      ClusterDelivery{MessageKind::kNotification, awkward, "", MakeByteColor(1, 2, 3), 1.5F, 8.25F,
                      "/Game/Icons/Star"},
      ClusterDelivery{MessageKind::kServer, std::string(kLongestClusterText, 'x'), "",
                      MakeByteColor(0, 0, 0), 0, 0, ""},
      ClusterCountdown{15, std::nullopt},
      ClusterCountdown{1440, awkward},
      ClusterCountdownCancel{},
  };
  for (const ClusterMessage& message : messages) {
    const std::string body = EncodeClusterMessage(message);
    const auto decoded = DecodeClusterMessage(body);
    ASSERT_TRUE(decoded.has_value()) << body;
    EXPECT_TRUE(Same(*decoded, message)) << body;
  }
}

TEST(ClusterMessageTest, WhatNoVersionSendsIsPassedOver) {
  const std::vector<std::string> bodies = {
      "",
      "not json",
      "[]",
      R"({"kind": "firework", "text": "a kind of a later version"})",
      R"({"kind": "server"})",
      R"({"kind": "server", "text": 5, "color": [1, 2, 3]})",
      R"({"kind": "countdown", "minutes": "ten"})",
      R"({"text": "no kind", "color": [1, 2, 3]})",
  };
  for (const std::string& body : bodies) EXPECT_FALSE(DecodeClusterMessage(body)) << body;
  // A later version's further fields do not keep a message from being delivered.
  const auto later = DecodeClusterMessage(
      R"({"kind": "server", "text": "hi", "color": [1, 2, 3], "priority": "high"})");
  ASSERT_TRUE(later.has_value());
  EXPECT_EQ(std::get<ClusterDelivery>(*later).text, "hi");
}

}  // namespace
}  // namespace Bellwright
