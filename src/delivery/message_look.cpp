#include "delivery/message_look.hpp"

#include <fmt/format.h>

#include "base/text.hpp"

namespace Bellwright {

std::string DescribeLook(const MessageLook& look) {
  if (!look.kind) {
    return fmt::format("type \"{}\", which sends nothing", look.type_name);
  }
  std::string colour = fmt::format("in {}, {}, {}", look.colour.R, look.colour.G, look.colour.B);
  switch (*look.kind) {
    case MessageKind::kChat:
      return fmt::format("a chat line from \"{}\" {}", look.sender, colour);
    case MessageKind::kServer:
      return fmt::format("a server message {}", colour);
    case MessageKind::kNotification:
      return fmt::format("a notification {}, scale {}, shown {} s{}", colour, look.display_scale,
                         look.display_time,
                         look.icon.empty() ? "" : fmt::format(", icon \"{}\"", look.icon));
  }
  return colour;
}

MessageStyle StyleOf(MessageKind kind, const MessageLook& look) {
  MessageStyle style;
  style.color = look.colour;
  if (kind == MessageKind::kChat) {
    style.sender = FromUtf8(look.sender);
  } else if (kind == MessageKind::kNotification) {
    style.display_scale = look.display_scale;
    style.display_time = look.display_time;
    style.icon = ResolveIcon(FromUtf8(look.icon));
  }
  return style;
}

}  // namespace Bellwright
