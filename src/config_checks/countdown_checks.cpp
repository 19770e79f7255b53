#include "config_checks/countdown_checks.hpp"

#include <fmt/format.h>

#include <cmath>
#include <string>

#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/notification_checks.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

// A day: bw.countdown takes no more minutes, so a larger step is never reached.
constexpr double kLongestStep = 1440;

// Steps of the wrong type have the schema's finding; a number is truncated, and the
// whole minutes outside 1 to a day are skipped.
void CheckSteps(const json& countdown, Findings& findings) {
  const json* steps = Member(countdown, "Steps");
  if (steps == nullptr || !steps->is_array()) {
    return;
  }
  const std::string pointer = "/Countdown/Steps";
  for (std::size_t index = 0; index < steps->size(); ++index) {
    const json& step = (*steps)[index];
    if (!step.is_number()) {
      continue;
    }
    const double minutes = std::trunc(step.get<double>());
    if (minutes < 1 || minutes > kLongestStep) {
      findings.AtValue(Severity::kWarning, ChildPointer(pointer, index),
                       fmt::format("a step of {} minutes is skipped: a step is a whole number of "
                                   "minutes from 1 to 1440 (the countdown's last announcement, "
                                   "at 0, is \"FinalMessage\")",
                                   step.dump()));
    }
  }
}

}  // namespace

void CheckCountdown(const json& document, Findings& findings) {
  const json* countdown = Member(document, "Countdown");
  if (countdown == nullptr || !countdown->is_object()) {
    return;
  }
  CheckSteps(*countdown, findings);
  const json* type = Member(*countdown, "MessageType");
  if (type != nullptr && *type == "Notification") {
    CheckNotificationVisible(*countdown, "/Countdown", "", "the countdown", findings);
  }
}

}  // namespace Bellwright::ConfigCheck
