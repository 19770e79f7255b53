#pragma once

#include <string>
#include <vector>

#include "config_checks/config_check.hpp"

namespace Bellwright::Checker {

// The findings of one file named on the command line.
struct CheckedFile {
  std::string name;
  std::vector<ConfigCheck::Finding> findings;
};

// One line per finding, as compilers print them.
std::string TextOutput(const std::vector<CheckedFile>& files);

// {"files": [{"file": ..., "findings": [{"severity", "pointer", "line", "column",
// "message"}]}]}, every file once, in order.
std::string JsonOutput(const std::vector<CheckedFile>& files);

}  // namespace Bellwright::Checker
