#pragma once

#include <optional>
#include <string>

#include "base/byte_color.hpp"
#include "delivery/delivery.hpp"

namespace Bellwright {

// How a configured message looks: what its style is made of, and what a preview over
// RCON tells.
struct MessageLook {
  std::optional<MessageKind> kind;  // none: the configured type sends nothing
  std::string type_name;
  ByteColor colour;
  std::string sender;     // chat lines
  float display_scale{};  // notifications
  float display_time{};
  std::string icon;
};

// The look of a configured message whose settings name its members as the welcome's
// and the countdown's do; `kind` follows the owner's own rule for its type's name, and
// `sender` is its chat lines' own.
template <typename Configured>
MessageLook LookOf(std::optional<MessageKind> kind, const Configured& configured,
                   std::string sender) {
  MessageLook look;
  look.kind = kind;
  look.type_name = configured.type;
  look.colour = configured.colour;
  look.sender = std::move(sender);
  look.display_scale = configured.display_scale;
  look.display_time = configured.display_time;
  look.icon = configured.icon;
  return look;
}

// "a chat line from "Bellwright" in 255, 200, 0", "a server message in 255, 64, 64",
// "a notification in 255, 255, 255, scale 1.5, shown 10 s, icon "/Game/..."", or
// "type "server", which sends nothing".
std::string DescribeLook(const MessageLook& look);

// The style of a look whose type sends something: each kind takes only its own
// members, and a notification's icon is resolved.
MessageStyle StyleOf(MessageKind kind, const MessageLook& look);

}  // namespace Bellwright
