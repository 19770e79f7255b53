#include "config_checks/setting_checks.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "config_checks/command_registrations.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/notification_checks.hpp"

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

// The plug-in skips an entry without a string "Group" and a string "Message" (the
// wrong types have their own findings), and asks the groups in order, so a group
// listed twice gets the first entry only.
void CheckGroupWelcomes(const json& welcome, Findings& findings) {
  const json* entries = Member(welcome, "GroupMessages");
  if (entries == nullptr || !entries->is_array()) {
    return;
  }
  const std::string list_pointer = "/Bellwright/WelcomeMessage/GroupMessages";
  std::unordered_map<std::u16string, std::size_t> first_entry_of_group;
  for (std::size_t index = 0; index < entries->size(); ++index) {
    const json& entry = (*entries)[index];
    if (!entry.is_object()) {
      continue;
    }
    const std::string pointer = ChildPointer(list_pointer, index);
    std::vector<std::string> missing;
    for (const char* key : {"Group", "Message"}) {
      if (Member(entry, key) == nullptr) {
        missing.push_back(Quote(key));
      }
    }
    if (!missing.empty()) {
      findings.AtValue(
          Severity::kWarning, pointer,
          fmt::format("a group welcome without {} is skipped", fmt::join(missing, " or ")));
      continue;
    }
    const json& group = entry.at("Group");
    if (!group.is_string() || !entry.at("Message").is_string()) {
      continue;
    }
    const auto [first, inserted] =
        first_entry_of_group.try_emplace(FoldedName(group.get_ref<const std::string&>()), index);
    if (!inserted) {
      findings.AtValue(Severity::kWarning, ChildPointer(pointer, "Group"),
                       fmt::format("group {} is asked already by entry {} (letter case is "
                                   "ignored), so this entry is never used",
                                   Quote(group.get_ref<const std::string&>()), first->second));
    }
  }
}

void CheckWelcome(const json& welcome, Findings& findings) {
  const std::string pointer = "/Bellwright/WelcomeMessage";
  CheckGroupWelcomes(welcome, findings);
  const json* enabled = Member(welcome, "EnableWelcomeMessage");
  if (enabled == nullptr || *enabled != true) {
    if (const json* first_join = Member(welcome, "FirstJoinMessage");
        first_join != nullptr && first_join->is_string() &&
        !first_join->get_ref<const std::string&>().empty()) {
      findings.AtKey(Severity::kWarning, pointer + "/FirstJoinMessage",
                     "is never sent: the welcome is off (\"EnableWelcomeMessage\": true switches "
                     "it on); the storage is opened for it all the same");
    }
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
