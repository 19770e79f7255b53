#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config_checks/announcement_checks.hpp"
#include "config_checks/json_text/document_reader.hpp"
#include "config_checks/json_text/finding.hpp"

// Checks of a configuration file's text against what the plug-in will do with it:
// every mistake that would otherwise pass in silence, with its place in the file,
// its consequence and its fix. Used by the bellwright-check command and by the
// plug-in's load and reload.
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
  // The schedules' zones, when they were left to be looked up later (LookUpZones).
  std::vector<ZoneToLookUp> zones_to_look_up;

  [[nodiscard]] bool HasErrors() const;
};

// Never throws. Its cost grows with the text as n log n at most, and texts beyond
// kMaxTextBytes are not checked.
Report CheckConfigText(std::string_view text) noexcept;

// What a syntax error costs, the last words of its finding.
inline constexpr std::string_view kUnreadableConsequence =
    "the plug-in cannot read this file: at start-up the server runs without the plug-in, and "
    "bw.reload keeps the previous file";

inline constexpr std::size_t kMaxTextBytes = std::size_t{16} * 1024 * 1024;

// Whether the schedules' zones are looked up in the time-zone database by the checks,
// or left for later: at the plug-in's start no library may be loaded, and a standard
// library's zone database may load one.
enum class ZoneLookup { kNow, kLater };

// The same checks for a text the caller has already read with ReadConfigDocument
// (any depth): the text is not parsed a second time. `read` must be what `text`
// gives; the text still places the findings.
Report CheckConfigText(std::string_view text, const ReadResult& read,
                       ZoneLookup zones = ZoneLookup::kNow) noexcept;

// "error" or "warning".
std::string_view SeverityName(Severity severity);

// "FILE:LINE:COLUMN: error|warning: /pointer: message", one line.
std::string FormatFinding(std::string_view file, const Finding& finding);

// "FILE: N more findings not shown: the first 100 in the file are", one line.
std::string FormatOmittedFindings(std::string_view file, std::size_t omitted);

// The one finding of a file that cannot be read.
Finding UnreadableFileFinding(std::string_view reason);

}  // namespace Bellwright::ConfigCheck
