#include "config_checks/finding_summary.hpp"

#include <fmt/format.h>

#include <algorithm>

namespace Bellwright::ConfigCheck {
namespace {

std::string Counted(std::size_t count, std::string_view one, std::string_view many) {
  return fmt::format("{} {}", count, count == 1 ? one : many);
}

}  // namespace

FindingCounts CountFindings(std::span<const Finding> findings) {
  FindingCounts counts;
  for (const Finding& finding : findings) {
    ++(finding.severity == Severity::kError ? counts.errors : counts.warnings);
  }
  return counts;
}

std::string CountsText(const FindingCounts& counts) {
  return fmt::format("{}, {}", Counted(counts.errors, "error", "errors"),
                     Counted(counts.warnings, "warning", "warnings"));
}

std::vector<std::string> SummaryLines(std::string_view file, std::span<const Finding> findings,
                                      std::size_t shown) {
  std::vector<std::string> lines;
  if (findings.empty()) {
    return lines;
  }
  lines.push_back(CountsText(CountFindings(findings)));
  const std::size_t listed = std::min(shown, findings.size());
  for (const Finding& finding : findings.first(listed)) {
    lines.push_back(FormatFinding(file, finding));
  }
  if (listed < findings.size()) {
    lines.push_back(fmt::format("... and {} more: bellwright-check {} lists them all",
                                findings.size() - listed, file));
  }
  return lines;
}

}  // namespace Bellwright::ConfigCheck
