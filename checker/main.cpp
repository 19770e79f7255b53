// bellwright-check [--format text|json] [--strict] FILE...: checks configuration
// files and prints what the plug-in will do wrong with them. Exit status 2 when a
// file cannot be read or is not JSON, else 1 when any finding is an error (with
// --strict: any finding at all), else 0.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/utf8_command_line.hpp"
#include "config/config_text.hpp"
#include "config_checks/config_file_text.hpp"
#include "config_checks/report.hpp"
#include "report_output.hpp"

namespace {

using Bellwright::Checker::CheckedFile;
namespace ConfigCheck = Bellwright::ConfigCheck;

// A file named by UTF-8 text: the bytes themselves on Linux, UTF-16 on Windows.
std::filesystem::path PathFromUtf8(const std::string& name) {
  return {std::u8string(name.begin(), name.end())};
}

constexpr int kClean = 0;
constexpr int kErrors = 1;
constexpr int kUnreadable = 2;

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Checks Bellwright configuration files against what the plug-in will do with them."};
  std::string format = "text";
  std::vector<std::string> names;
  bool strict = false;
  app.add_option("--format", format, "text (one line per finding) or json")
      ->check(CLI::IsMember({"text", "json"}));
  // For files kept in a repository and checked before they are deployed: a warning
  // there is as much a reason to stop as an error.
  app.add_flag("--strict", strict, "warnings count for the exit status as errors do");
  app.add_option("FILE", names, "configuration files to check")->required();
  // The same command line everywhere: on Windows too, "/name" is a file, not an option.
  app.allow_windows_style_options(false);
  try {
    const Bellwright::Platform::Utf8CommandLine command_line(argc, argv);
    app.parse(command_line.Count(), command_line.Values());
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? kClean : kUnreadable;
  }

  std::vector<CheckedFile> files;
  int status = kClean;
  for (const std::string& name : names) {
    const ConfigCheck::FileText file = ConfigCheck::ReadConfigFileText(PathFromUtf8(name));
    if (!file.text) {
      files.push_back({name, {ConfigCheck::UnreadableFileFinding(file.failure)}});
      status = kUnreadable;
      continue;
    }
    ConfigCheck::Report report = Bellwright::ReadConfigText(*file.text).report;
    if (report.not_json) {
      status = kUnreadable;
    } else if ((report.HasErrors() || (strict && !report.findings.empty())) && status == kClean) {
      status = kErrors;
    }
    files.push_back({name, std::move(report.findings), report.omitted_findings});
  }
  std::cout << (format == "json" ? Bellwright::Checker::JsonOutput(files)
                                 : Bellwright::Checker::TextOutput(files))
            << std::flush;
  return status;
}
