#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace Bellwright::ConfigCheck {

class Findings;

// The interval and the list when timed messages are on, and each message's groups,
// notification values, text and colour.
void CheckTimedMessages(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
