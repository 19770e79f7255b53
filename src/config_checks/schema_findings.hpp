#pragma once

#include <nlohmann/json.hpp>

namespace Bellwright::ConfigCheck {

class Findings;

// Validates the document against the schema and states each breach as what the
// plug-in will do: values of the wrong JSON type, values outside an enumeration,
// unknown keys.
void CheckAgainstSchema(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
