#include "config_checks/report.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "base/unicode.hpp"

namespace Bellwright::ConfigCheck {
namespace {

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

Report TooLargeReport() {
  Report report;
  report.not_json = true;
  report.findings.push_back({Severity::kError, "", 1, 1,
                             fmt::format("the file is larger than {} MiB and was not checked",
                                         kMaxTextBytes / (std::size_t{1024} * 1024))});
  return report;
}

Report UnfinishedReport(std::string_view reason) {
  Report report;
  report.not_json = true;
  report.findings.push_back(
      {Severity::kError, "", 1, 1, fmt::format("the checks could not finish ({})", reason)});
  return report;
}

}  // namespace Bellwright::ConfigCheck
