#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace Bellwright::ConfigCheck {

class Findings;

// A notification needs a display time and a scale above 0 to be seen. Checks the
// numbers "<prefix>DisplayTime" and "<prefix>DisplayScale" of `object` (at
// `pointer`); `whose` names the notification ("the greeting's notification").
void CheckNotificationVisible(const nlohmann::json& object, const std::string& pointer,
                              std::string_view prefix, std::string_view whose, Findings& findings);

}  // namespace Bellwright::ConfigCheck
