#pragma once

#include <nlohmann/json.hpp>

namespace Bellwright::ConfigCheck {

class Findings;

// The announcement lists and the schedules: the names that let each run, the lists'
// intervals and messages, the schedules' clock times, days, zones and countdown steps,
// and each message as a timed message is checked.
void CheckAnnouncements(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
