#include "report_output.hpp"

#include <nlohmann/json.hpp>

namespace Bellwright::Checker {

std::string TextOutput(const std::vector<CheckedFile>& files) {
  std::string output;
  for (const CheckedFile& file : files) {
    for (const ConfigCheck::Finding& finding : file.findings) {
      output += ConfigCheck::FormatFinding(file.name, finding);
      output += '\n';
    }
    if (file.omitted_findings > 0) {
      output += ConfigCheck::FormatOmittedFindings(file.name, file.omitted_findings);
      output += '\n';
    }
  }
  return output;
}

std::string JsonOutput(const std::vector<CheckedFile>& files) {
  nlohmann::ordered_json listed = nlohmann::ordered_json::array();
  for (const CheckedFile& file : files) {
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const ConfigCheck::Finding& finding : file.findings) {
      findings.push_back({{"severity", ConfigCheck::SeverityName(finding.severity)},
                          {"pointer", finding.pointer},
                          {"line", finding.line},
                          {"column", finding.column},
                          {"message", finding.message}});
    }
    nlohmann::ordered_json checked = {{"file", file.name}, {"findings", std::move(findings)}};
    if (file.omitted_findings > 0) {
      checked["omitted_findings"] = file.omitted_findings;
    }
    listed.push_back(std::move(checked));
  }
  // A file name need not be UTF-8; the output must stay valid JSON all the same.
  return nlohmann::ordered_json{{"files", std::move(listed)}}.dump(
             2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
         "\n";
}

}  // namespace Bellwright::Checker
