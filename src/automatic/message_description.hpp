#pragma once

#include <optional>
#include <string>

#include "base/byte_color.hpp"
#include "delivery/delivery.hpp"

namespace Bellwright {

// How a configured message looks, as a preview over RCON tells it.
struct MessageLook {
  std::optional<MessageKind> kind;  // none: the configured type sends nothing
  std::string type_name;
  ByteColor colour;
  std::string sender;     // chat lines
  float display_scale{};  // notifications
  float display_time{};
  std::string icon;
};

// "a chat line from "Bellwright" in 255, 200, 0", "a server message in 255, 64, 64",
// "a notification in 255, 255, 255, scale 1.5, shown 10 s, icon "/Game/..."", or
// "type "server", which sends nothing".
std::string DescribeLook(const MessageLook& look);

}  // namespace Bellwright
