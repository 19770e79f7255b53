#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config_checks/report.hpp"

namespace Bellwright::Checker {

// The findings of one file named on the command line.
struct CheckedFile {
  std::string name;
  std::vector<ConfigCheck::Finding> findings;
  std::size_t omitted_findings = 0;  // found past those
};

// One line per finding, as compilers print them, and one for the findings not shown.
std::string TextOutput(const std::vector<CheckedFile>& files);

// {"files": [{"file": ..., "findings": [{"severity", "pointer", "line", "column",
// "message"}]}]}, every file once, in order; "omitted_findings" beside "findings" when
// some are not shown.
std::string JsonOutput(const std::vector<CheckedFile>& files);

}  // namespace Bellwright::Checker
