#include "config/checks/setting_checks.hpp"

#include <fmt/format.h>

#include <string>
#include <vector>

#include "config/checks/document_walk.hpp"
#include "config/checks/findings.hpp"
#include "config/checks/json_pointer.hpp"
#include "config/checks/notification_checks.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

bool IsBlank(char unit) {
  return unit == ' ' || unit == '\t' || unit == '\n' || unit == '\r';
}

void CheckTextAfterDocument(Findings& findings) {
  const std::string_view text = findings.Index().Text();
  for (std::size_t at = findings.Index().DocumentEnd(); at < text.size(); ++at) {
    if (!IsBlank(text[at])) {
      findings.AtOffset(Severity::kWarning, "", at,
                        "text after the end of the document is never read");
      return;
    }
  }
}

void CheckDuplicateKeys(Findings& findings) {
  for (const DuplicateKey& duplicate : findings.Index().Duplicates()) {
    const std::vector<std::string> tokens = PointerTokens(duplicate.pointer);
    const LineColumn later = findings.Index().Locate(duplicate.later_key_offset);
    findings.AtOffset(Severity::kWarning, duplicate.pointer, duplicate.earlier_key_offset,
                      fmt::format("key {} is given again at line {}, column {}: only the later "
                                  "value is read",
                                  Quote(tokens.empty() ? std::string() : tokens.back()), later.line,
                                  later.column));
  }
}

void CheckWelcome(const json& welcome, Findings& findings) {
  const std::string pointer = "/Bellwright/WelcomeMessage";
  const json* enabled = Member(welcome, "EnableWelcomeMessage");
  if (enabled == nullptr || *enabled != true) {
    return;
  }
  const json* type = Member(welcome, "WelcomeMessageType");
  if (type != nullptr && *type == "Notification") {
    CheckNotificationVisible(welcome, pointer, "Notification", "the greeting", findings);
  }
  if (Member(welcome, "WelcomeMessageColour") == nullptr) {
    findings.AtValue(Severity::kWarning, pointer,
                     "no \"WelcomeMessageColour\": the greeting comes out black; add for example "
                     "\"WelcomeMessageColour\": {\"R\": 255, \"G\": 255, \"B\": 255}");
  }
}

}  // namespace

void CheckDocumentShape(const json& document, Findings& findings) {
  CheckTextAfterDocument(findings);
  CheckDuplicateKeys(findings);
  if (!document.is_object()) {
    findings.AtValue(Severity::kError, "",
                     fmt::format("the document is {}, not an object: the plug-in reads no setting "
                                 "from it, no custom command loads (bw.reload refuses the file), "
                                 "and the send commands without colour numbers fail",
                                 TypePhrase(document)));
  }
}

void CheckGeneralSettings(const json& document, Findings& findings) {
  const json* section = Member(document, "Bellwright");
  if (section == nullptr) {
    findings.AtValue(Severity::kWarning, "",
                     "no \"Bellwright\" section: every bw.sendchat and bw.sendnotification "
                     "without colour numbers fails, and bw.sendserver without them is black");
    return;
  }
  if (!section->is_object()) {
    return;
  }
  CheckNotificationVisible(*section, "/Bellwright", "Notification",
                           "bw.sendnotification without its numbers", findings);
  if (const json* welcome = Member(*section, "WelcomeMessage");
      welcome != nullptr && welcome->is_object()) {
    CheckWelcome(*welcome, findings);
  }
}

}  // namespace Bellwright::ConfigCheck
