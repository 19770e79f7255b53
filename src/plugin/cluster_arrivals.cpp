#include "plugin/cluster_arrivals.hpp"

#include <chrono>
#include <string_view>
#include <variant>

#include "base/log.hpp"
#include "base/text.hpp"
#include "countdown/countdown.hpp"
#include "delivery/delivery.hpp"
#include "opt_out/cluster_link.hpp"

namespace Bellwright {
namespace {

void Carry(const ClusterDelivery& delivery, std::string_view origin) {
  MessageStyle style;
  style.color = delivery.color;
  style.sender = FromUtf8(delivery.sender);
  style.display_scale = delivery.display_scale;
  style.display_time = delivery.display_time;
  // Each server finds the icon among its own assets.
  if (!delivery.icon.empty()) style.icon = ResolveIcon(FromUtf8(delivery.icon));
  if (!Deliver(delivery.kind, FromUtf8(delivery.text), style, Recipient::Everyone())) {
    Log::Warning("A message for every server from \"{}\" could not be delivered here", origin);
  }
}

void Carry(const ClusterCountdown& countdown, std::string_view origin) {
  const CommandOutcome outcome = StartCountdown(countdown.minutes, countdown.text);
  if (!outcome.succeeded) {
    Log::Warning("The countdown that \"{}\" started for every server does not run here: {}", origin,
                 outcome.lines.empty() ? std::string() : outcome.lines.front());
  }
}

void Carry(const ClusterCountdownCancel& /*cancel*/, std::string_view /*origin*/) {
  // Nothing running here is no fault: the cancel concerns every server at once.
  static_cast<void>(CancelCountdown());
}

void CarryOut(const ClusterMessage& message, std::string_view origin,
              std::chrono::milliseconds age) {
  Log::Info("A message for every server from \"{}\", sent {} ms ago, is carried out here", origin,
            age.count());
  std::visit([origin](const auto& what) { Carry(what, origin); }, message);
}

}  // namespace

void StartClusterArrivals() {
  SetClusterArrivalHandler(&CarryOut);
}

void StopClusterArrivals() {
  SetClusterArrivalHandler(nullptr);
}

}  // namespace Bellwright
