#pragma once

#include <nlohmann/json.hpp>

namespace Bellwright::ConfigCheck {

class Findings;

// The document as a whole: an object, nothing after it, no key given twice.
void CheckDocumentShape(const nlohmann::json& document, Findings& findings);

// The "Bellwright" section and the welcome message.
void CheckGeneralSettings(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
