#include "automatic/message_description.hpp"

#include <fmt/format.h>

namespace Bellwright {

std::string DescribeLook(const MessageLook& look) {
  if (!look.kind) {
    return fmt::format("type \"{}\", which sends nothing", look.type_name);
  }
  const std::string colour =
      fmt::format("in {}, {}, {}", look.colour.R, look.colour.G, look.colour.B);
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

}  // namespace Bellwright
