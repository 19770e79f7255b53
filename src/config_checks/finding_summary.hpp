#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config_checks/report.hpp"

// What an administrator is told about a file's findings where there is no room for
// all of them: the counts, then the first few as bellwright-check prints them.
namespace Bellwright::ConfigCheck {

struct FindingCounts {
  std::size_t errors = 0;
  std::size_t warnings = 0;

  [[nodiscard]] bool None() const { return errors == 0 && warnings == 0; }
};

FindingCounts CountFindings(std::span<const Finding> findings);

// "2 errors, 1 warning": both counts always, so a reader need not guess the other.
std::string CountsText(const FindingCounts& counts);

inline constexpr std::size_t kSummarisedFindings = 10;

// The counts line, then the first `shown` findings in the checker's format for the
// file named `file`, then a line saying how many more the checker would list. No line
// at all when there is no finding.
std::vector<std::string> SummaryLines(std::string_view file, std::span<const Finding> findings,
                                      std::size_t shown = kSummarisedFindings);

}  // namespace Bellwright::ConfigCheck
