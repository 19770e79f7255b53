#include "config_checks/timed_message_checks.hpp"

#include <fmt/format.h>

#include <cmath>
#include <string>
#include <vector>

#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/notification_checks.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

constexpr std::string_view kSection = "/TimedMessages";

bool IsNonEmptyArray(const json* value) {
  return value != nullptr && value->is_array() && !value->empty();
}

// The clock reads true and false as 1 and 0 and drops a fraction, so true, false and
// 1.5 send every second as 0 does, though nobody wrote a second. A whole 1 says so
// itself and gets no warning.
bool ReadsAsOneSecondOrBoolean(const json& interval) {
  return interval.is_boolean() ||
         (interval.is_number_float() && std::trunc(interval.get<double>()) == 1 &&
          interval.get<double>() != 1);
}

void CheckClock(const json& timed, Findings& findings) {
  const std::string section(kSection);
  const json* interval = Member(timed, "Interval");
  if (interval == nullptr) {
    findings.AtValue(Severity::kWarning, section,
                     "timed messages are enabled without an \"Interval\": a message goes out "
                     "every second; add for example \"Interval\": 600 (seconds)");
  } else if (interval->is_number() && std::trunc(interval->get<double>()) <= 0) {
    findings.AtValue(
        Severity::kWarning, ChildPointer(section, "Interval"),
        fmt::format("an interval of {} seconds: a timed message goes out every second; "
                    "give the seconds between two messages, such as 600",
                    interval->dump()));
  } else if (ReadsAsOneSecondOrBoolean(*interval)) {
    const bool zero = *interval == false;
    findings.AtValue(Severity::kWarning, ChildPointer(section, "Interval"),
                     fmt::format("{} reads as an interval of {}: a timed message goes out every "
                                 "second; give the seconds between two messages, such as 600",
                                 interval->dump(), zero ? "0 seconds" : "1 second"));
  }
  const json* messages = Member(timed, "Messages");
  if (messages == nullptr) {
    findings.AtValue(Severity::kWarning, section,
                     "timed messages are enabled without \"Messages\": nothing is ever sent");
  } else if (messages->is_array() && messages->empty()) {
    findings.AtValue(Severity::kWarning, ChildPointer(section, "Messages"),
                     "timed messages are enabled with no messages: nothing is ever sent");
  }
}

}  // namespace

void CheckTimedMessageEntry(const std::string& pointer, const json& entry, Findings& findings) {
  if (!entry.is_object()) {
    return;
  }
  const json* include = Member(entry, "Only_Send_To_Permission_Groups");
  const json* exclude = Member(entry, "Exclude_Permissions_Groups");
  if (IsNonEmptyArray(include) && IsNonEmptyArray(exclude)) {
    findings.AtValue(Severity::kWarning, ChildPointer(pointer, "Exclude_Permissions_Groups"),
                     "is ignored: the message has an include list "
                     "(\"Only_Send_To_Permission_Groups\"), which alone decides who receives it");
  }
  const json* type = Member(entry, "MessageType");
  if (type != nullptr && *type == "Notification") {
    CheckNotificationVisible(entry, pointer, "", "this timed message", findings);
  }
  const json* text = Member(entry, "MessageToSend");
  if (text == nullptr || (text->is_string() && text->get_ref<const std::string&>().empty())) {
    findings.AtValue(Severity::kWarning,
                     text == nullptr ? pointer : ChildPointer(pointer, "MessageToSend"),
                     text == nullptr ? "no \"MessageToSend\": an empty message goes out"
                                     : "an empty text: an empty message goes out");
  }
  const json* colour = Member(entry, "MessageColour");
  if (colour == nullptr) {
    findings.AtValue(Severity::kWarning, pointer,
                     "no \"MessageColour\": the message comes out black; add for example "
                     "\"MessageColour\": {\"R\": 255, \"G\": 255, \"B\": 255}");
  } else if (colour->is_object() && Member(*colour, "R") == nullptr &&
             Member(*colour, "G") == nullptr && Member(*colour, "B") == nullptr) {
    findings.AtValue(Severity::kWarning, ChildPointer(pointer, "MessageColour"),
                     "a colour without \"R\", \"G\" or \"B\": the message comes out black");
  }
}

void CheckTimedMessages(const json& document, Findings& findings) {
  const json* timed = Member(document, "TimedMessages");
  if (timed == nullptr || !timed->is_object()) {
    return;
  }
  const json* enabled = Member(*timed, "Enabled");
  if (enabled != nullptr && *enabled == true) {
    CheckClock(*timed, findings);
  }
  ForEachMatch(document, "/TimedMessages/Messages/*",
               [&](const std::string& pointer, const json& entry) {
                 CheckTimedMessageEntry(pointer, entry, findings);
               });
}

}  // namespace Bellwright::ConfigCheck
