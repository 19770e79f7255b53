#include "delivery/delivery.hpp"

namespace Bellwright {

std::optional<MessageKind> MessageKindFromTypeName(std::string_view type_name) {
  if (type_name == "Server") {
    return MessageKind::kServer;
  }
  // Both names have always meant the coloured chat line.
  if (type_name == "Chat" || type_name == "Client") {
    return MessageKind::kChat;
  }
  if (type_name == "Notification") {
    return MessageKind::kNotification;
  }
  return std::nullopt;
}

}  // namespace Bellwright
