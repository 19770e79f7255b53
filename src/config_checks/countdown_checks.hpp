#pragma once

#include <nlohmann/json.hpp>

namespace Bellwright::ConfigCheck {

class Findings;

// The restart countdown's steps that bw.countdown would skip, and whether its
// notification can be seen.
void CheckCountdown(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
