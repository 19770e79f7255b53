#pragma once

#include <nlohmann/json.hpp>

namespace Bellwright::ConfigCheck {

class Findings;

// Validates the document against the schema for keys the plug-in never reads, each
// with the key it probably means.
void CheckUnknownKeys(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
