#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "base/byte_color.hpp"
#include "delivery/delivery.hpp"

// What a message for every server of a cluster asks each server to do, and the bytes it
// travels in through the shared storage. The bytes are JSON: a server of a later version
// may add fields, which this one passes over; one that sends a kind this one does not
// know is passed over as a whole, and said so in the log.
namespace Bellwright {

// A server message, a chat line or a notification to everyone on the server.
struct ClusterDelivery {
  MessageKind kind = MessageKind::kServer;
  std::string text;    // UTF-8
  std::string sender;  // chat lines
  ByteColor color = MakeByteColor(0, 0, 0);
  float display_scale = 0.0F;  // notifications
  float display_time = 0.0F;   // notifications
  std::string icon;            // notifications: the asset path, resolved by each server
};

// A restart countdown started on every server; each runs it by its own Countdown section,
// with this text when one was given.
struct ClusterCountdown {
  int minutes = 0;
  std::optional<std::string> text;
};

struct ClusterCountdownCancel {};

using ClusterMessage = std::variant<ClusterDelivery, ClusterCountdown, ClusterCountdownCancel>;

// The longest text a message for every server may carry, in UTF-8 bytes: what one RCON
// request can carry at most, so that a text any form of the commands sends to one server
// can go to every server.
inline constexpr std::size_t kLongestClusterText = 4096;

std::string EncodeClusterMessage(const ClusterMessage& message);
// Empty for bytes that are not a message of a kind this version knows.
std::optional<ClusterMessage> DecodeClusterMessage(std::string_view body);

}  // namespace Bellwright
