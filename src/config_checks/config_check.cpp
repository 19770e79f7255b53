#include "config_checks/config_check.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <exception>

#include "base/unicode.hpp"
#include "config_checks/announcement_checks.hpp"
#include "config_checks/colour_checks.hpp"
#include "config_checks/command_registrations.hpp"
#include "config_checks/countdown_checks.hpp"
#include "config_checks/custom_command_checks.hpp"
#include "config_checks/json_text/document_reader.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/position_index.hpp"
#include "config_checks/json_text/syntax_cause.hpp"
#include "config_checks/opt_out_checks.hpp"
#include "config_checks/schema_findings.hpp"
#include "config_checks/setting_checks.hpp"
#include "config_checks/text_format.hpp"
#include "config_checks/timed_message_checks.hpp"
#include "config_checks/value_rules.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

// No setting nests deeper than five levels; beyond this the checks would only cost
// stack.
constexpr std::size_t kMaxDepth = 64;

void CheckDocument(const nlohmann::json& document, Findings& findings, Report& report,
                   ZoneLookup zones) {
  const auto failure = CustomCommandLoaderFailure(document);
  if (failure) {
    findings.Watch(*failure);
  }
  CheckDocumentShape(document, findings);
  if (document.is_object()) {
    CheckAgainstSchema(document, findings);
    CheckGeneralSettings(document, findings);
    // The registrations point into the section: it must be the document's own.
    const json* commands = Member(document, "CustomCommands");
    const Registrations registrations =
        commands != nullptr ? RegisterCommands(*commands) : Registrations{};
    CheckCustomCommands(document, registrations, findings);
    CheckTimedMessages(document, findings);
    CheckAnnouncements(document, findings,
                       zones == ZoneLookup::kLater ? &report.zones_to_look_up : nullptr);
    CheckCountdown(document, findings);
    CheckOptOut(document, registrations, findings);
    CheckColours(document, findings);
    CheckTexts(document, findings);
    CheckCooldownLineUsed(document, registrations, findings);
  }
  if (failure && !findings.WatchedError()) {
    // Every value the loader cannot read has its own finding; this keeps the reason
    // for a failed load from ever going missing.
    findings.AtValue(Severity::kError, *failure, std::string(kStopsCustomCommands));
  }
  report.custom_commands_failure = findings.WatchedError();
}

Report TooLarge() {
  Report report;
  report.not_json = true;
  report.findings.push_back({Severity::kError, "", 1, 1,
                             fmt::format("the file is larger than {} MiB and was not checked",
                                         kMaxTextBytes / (std::size_t{1024} * 1024))});
  return report;
}

// Whatever the reader made of the text: the findings of a syntax error, of a file
// too deep to check, or of the document.
Report CheckRead(std::string_view text, const nlohmann::json& document,
                 const std::optional<SyntaxError>& syntax_error, bool too_deep,
                 ZoneLookup zones = ZoneLookup::kNow) {
  Report report;
  const PositionIndex index(text, kMaxDepth);
  Findings findings(index);
  if (syntax_error) {
    report.syntax_error = true;
    report.not_json = true;
    const SyntaxCause cause = ExplainSyntaxError(text, *syntax_error, index.Lines());
    findings.AtOffset(Severity::kError, "", cause.offset,
                      fmt::format("syntax error: {}; {}", cause.words, kUnreadableConsequence));
  } else if (too_deep || index.TooDeepOffset()) {
    report.not_json = true;
    findings.AtOffset(Severity::kError, "", index.TooDeepOffset().value_or(0),
                      fmt::format("nested deeper than {} levels, which no setting is: the file "
                                  "was not checked",
                                  kMaxDepth));
  } else {
    CheckDocument(document, findings, report, zones);
  }
  report.omitted_findings = findings.Omitted();
  report.findings = findings.TakeInFileOrder();
  return report;
}

template <typename Check>
Report Guarded(Check check) noexcept {
  std::string reason = "an unknown failure";
  try {
    return check();
  } catch (const std::exception& error) {
    reason = error.what();
  } catch (...) {
  }
  // Only exhausted memory gets here; whoever asked must carry on all the same.
  Report report;
  report.not_json = true;
  report.findings.push_back(
      {Severity::kError, "", 1, 1, "the checks could not finish (" + reason + ")"});
  return report;
}

// A file name or a key may hold line breaks and terminal controls; a finding must stay
// one line that no terminal acts on.
std::string OneLine(std::string_view text) {
  return Unicode::WithControlsEscaped(text, Unicode::ControlSpelling::kUnicode);
}

}  // namespace

bool Report::HasErrors() const {
  return std::ranges::any_of(
      findings, [](const Finding& finding) { return finding.severity == Severity::kError; });
}

Report CheckConfigText(std::string_view text) noexcept {
  return Guarded([text] {
    if (text.size() > kMaxTextBytes) {
      return TooLarge();
    }
    const ReadResult read = ReadConfigDocument(text, kMaxDepth);
    return CheckRead(text, read.document, read.syntax_error, read.too_deep);
  });
}

Report CheckConfigText(std::string_view text, const ReadResult& read, ZoneLookup zones) noexcept {
  return Guarded([text, &read, zones] {
    // The index stops at the depth limit, so a deeper document is never walked.
    return text.size() > kMaxTextBytes
               ? TooLarge()
               : CheckRead(text, read.document, read.syntax_error, read.too_deep, zones);
  });
}

std::string_view SeverityName(Severity severity) {
  return severity == Severity::kError ? "error" : "warning";
}

std::string FormatFinding(std::string_view file, const Finding& finding) {
  return fmt::format("{}:{}:{}: {}: {}: {}", OneLine(file), finding.line, finding.column,
                     SeverityName(finding.severity), OneLine(finding.pointer), finding.message);
}

std::string FormatOmittedFindings(std::string_view file, std::size_t omitted) {
  return fmt::format("{}: {} more findings not shown: the first {} in the file are", OneLine(file),
                     omitted, kMostFindings);
}

Finding UnreadableFileFinding(std::string_view reason) {
  return {Severity::kError, "", 0, 0, fmt::format("cannot read the file: {}", reason)};
}

}  // namespace Bellwright::ConfigCheck
