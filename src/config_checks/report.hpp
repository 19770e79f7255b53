#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config_checks/json_text/finding.hpp"

// What the checks of a configuration file's text found: every mistake that would
// otherwise pass in silence, with its place in the file, its consequence and its fix.
// Made by the one reading of the file that the plug-in's load and reload and the
// bellwright-check command share.
namespace Bellwright::ConfigCheck {

struct Report {
  // In the order of their place in the file, at most kMostFindings.
  std::vector<Finding> findings;
  // Found past those.
  std::size_t omitted_findings = 0;
  // The plug-in's reader refuses the text: the load stops, a reload keeps the
  // previous file. The one finding says where and why.
  bool syntax_error = false;
  // No setting was checked: a syntax error, or a text too large or too deeply
  // nested to check.
  bool not_json = false;
  // The value that makes the custom-command loader fail, the first in the order the
  // loader reads (a copy of its finding); empty when the commands load.
  std::optional<Finding> custom_commands_failure;

  [[nodiscard]] bool HasErrors() const;
};

// What a syntax error costs, the last words of its finding.
inline constexpr std::string_view kUnreadableConsequence =
    "the plug-in cannot read this file: at start-up the server runs without the plug-in, and "
    "bw.reload keeps the previous file";

// Texts beyond this are not checked (nor read by the plug-in).
inline constexpr std::size_t kMaxTextBytes = std::size_t{16} * 1024 * 1024;

// No setting nests deeper than five levels; beyond this the checks would only cost
// stack.
inline constexpr std::size_t kMaxDepth = 64;

// "error" or "warning".
std::string_view SeverityName(Severity severity);

// "FILE:LINE:COLUMN: error|warning: /pointer: message", one line.
std::string FormatFinding(std::string_view file, const Finding& finding);

// "FILE: N more findings not shown: the first 100 in the file are", one line.
std::string FormatOmittedFindings(std::string_view file, std::size_t omitted);

// The one finding of a file that cannot be read.
Finding UnreadableFileFinding(std::string_view reason);

// The report of a text larger than kMaxTextBytes.
Report TooLargeReport();

// The report of checks that could not finish (only exhausted memory stops them).
Report UnfinishedReport(std::string_view reason);

}  // namespace Bellwright::ConfigCheck
