#include "opt_out/cluster_message.hpp"

#include <array>
#include <nlohmann/json.hpp>

namespace Bellwright {
namespace {

using nlohmann::json;

constexpr const char* kKindKey = "kind";
constexpr std::array<std::pair<MessageKind, const char*>, 3> kDeliveryKinds = {{
    {MessageKind::kServer, "server"},
    {MessageKind::kChat, "chat"},
    {MessageKind::kNotification, "notification"},
}};
constexpr const char* kCountdownKind = "countdown";
constexpr const char* kCancelKind = "countdown-cancel";

json ColorJson(const ByteColor& color) {
  return json::array({color.R, color.G, color.B});
}

json Encoded(const ClusterDelivery& delivery) {
  json encoded = {{"text", delivery.text}, {"color", ColorJson(delivery.color)}};
  for (const auto& [kind, name] : kDeliveryKinds) {
    if (kind == delivery.kind) encoded[kKindKey] = name;
  }
  if (delivery.kind == MessageKind::kChat) encoded["sender"] = delivery.sender;
  if (delivery.kind == MessageKind::kNotification) {
    encoded["scale"] = delivery.display_scale;
    encoded["time"] = delivery.display_time;
    encoded["icon"] = delivery.icon;
  }
  return encoded;
}

json Encoded(const ClusterCountdown& countdown) {
  json encoded = {{kKindKey, kCountdownKind}, {"minutes", countdown.minutes}};
  if (countdown.text) encoded["text"] = *countdown.text;
  return encoded;
}

json Encoded(const ClusterCountdownCancel& /*cancel*/) {
  return {{kKindKey, kCancelKind}};
}

std::optional<ClusterMessage> DecodedDelivery(const json& fields, MessageKind kind) {
  ClusterDelivery delivery;
  delivery.kind = kind;
  delivery.text = fields.at("text").get<std::string>();
  const json& color = fields.at("color");
  delivery.color = MakeByteColor(color.at(0).get<std::uint8_t>(), color.at(1).get<std::uint8_t>(),
                                 color.at(2).get<std::uint8_t>());
  delivery.sender = fields.value("sender", std::string());
  delivery.display_scale = fields.value("scale", 0.0F);
  delivery.display_time = fields.value("time", 0.0F);
  delivery.icon = fields.value("icon", std::string());
  return delivery;
}

std::optional<ClusterMessage> Decoded(const json& fields) {
  const std::string kind = fields.at(kKindKey).get<std::string>();
  for (const auto& [delivery_kind, name] : kDeliveryKinds) {
    if (kind == name) return DecodedDelivery(fields, delivery_kind);
  }
  if (kind == kCountdownKind) {
    ClusterCountdown countdown{fields.at("minutes").get<int>(), std::nullopt};
    if (fields.contains("text")) countdown.text = fields.at("text").get<std::string>();
    return countdown;
  }
  if (kind == kCancelKind) return ClusterCountdownCancel{};
  return std::nullopt;
}

}  // namespace

std::string EncodeClusterMessage(const ClusterMessage& message) {
  const json encoded = std::visit([](const auto& content) { return Encoded(content); }, message);
  // A text is UTF-8 already; a stray byte becomes U+FFFD rather than an exception.
  return encoded.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::optional<ClusterMessage> DecodeClusterMessage(std::string_view body) {
  const json fields = json::parse(body, nullptr, false);
  if (!fields.is_object()) return std::nullopt;
  try {
    return Decoded(fields);
  } catch (const json::exception&) {
    return std::nullopt;  // a field missing or of another type
  }
}

}  // namespace Bellwright
