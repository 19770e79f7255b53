#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "config_checks/json_text/document_reader.hpp"

namespace Bellwright::ConfigCheck {

class Findings;

// The one finding of a text the reader refuses: where and why, in plain words.
void CheckSyntaxError(const SyntaxError& error, Findings& findings);

// The one finding of a document nested deeper than the checks go, when it is; whether
// it is.
bool CheckDepth(Findings& findings);

// The document as a whole: an object, nothing after it, no key given twice.
void CheckDocumentShape(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
