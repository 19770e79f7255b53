#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace Bellwright::ConfigCheck {

class Findings;

// One message entry (of the timed messages, of a list, or a schedule): its groups,
// notification values, text and colour.
void CheckTimedMessageEntry(const std::string& pointer, const nlohmann::json& entry,
                            Findings& findings);

// The interval and the list when timed messages are on, and each message's groups,
// notification values, text and colour.
void CheckTimedMessages(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
