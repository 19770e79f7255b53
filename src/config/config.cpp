#include "config/config.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "base/clock_ticks.hpp"
#include "base/log.hpp"
#include "base/platform_text.hpp"
#include "base/plugin_folder.hpp"
#include "config/config_text.hpp"
#include "config_checks/config_file_text.hpp"
#include "config_checks/report.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// What the plug-in runs on; made on first use: the library's start-up runs before its
// other static objects are constructed.
struct LiveConfig {
  nlohmann::json document;
  ConfigSettings settings;
  std::string custom_commands_failure;
  std::vector<ConfigCheck::Finding> findings;
  std::vector<ZoneToLookUp> zones_to_look_up;
};

LiveConfig& Live() {
  static LiveConfig live;
  return live;
}

// Findings name the file as administrators know it; the full path is in the one line
// that says it could not be opened.
constexpr std::string_view kFileName = kConfigFileName;

void LogFindings(const std::vector<ConfigCheck::Finding>& findings) {
  for (const ConfigCheck::Finding& finding : findings) {
    const std::string line = ConfigCheck::FormatFinding(kFileName, finding);
    if (finding.severity == ConfigCheck::Severity::kError) {
      Log::Error("{}", line);
    } else {
      Log::Warning("{}", line);
    }
  }
}

void LogFindings(const ConfigCheck::Report& report) {
  LogFindings(report.findings);
  if (report.omitted_findings > 0) {
    Log::Warning("{}", ConfigCheck::FormatOmittedFindings(kFileName, report.omitted_findings));
  }
}

// "/CustomCommands/~1x/Type (config.json:3:20)": the finding itself is logged with
// the others.
std::string Describe(const std::optional<ConfigCheck::Finding>& finding) {
  if (!finding) {
    return {};
  }
  return fmt::format("{} ({}:{}:{})", finding->pointer, kFileName, finding->line, finding->column);
}

// The reader refused the text: the checks say where and why in plain words.
std::string SyntaxFailure(const ConfigCheck::Report& report) {
  return ConfigCheck::FormatFinding(kFileName, report.findings.front());
}

}  // namespace

std::filesystem::path PluginFolderPath() {
  // The folder's name is written with forward slashes; on Windows the paths shown in the
  // log and the replies take the system's one separator throughout.
  std::filesystem::path folder = Platform::PathFromUtf8(AsaApi::Tools::GetCurrentDir()) /
                                 Platform::PathFromUtf8(kPluginFolder);
  return folder.make_preferred();
}

std::filesystem::path ConfigFilePath() {
  return PluginFolderPath() / kConfigFileName;
}

ConfigRead ReadConfigFile(ZoneChecks zones) {
  const std::filesystem::path path = ConfigFilePath();
  const ConfigCheck::FileText file = ConfigCheck::ReadConfigFileText(path);
  if (!file.text) {
    return {std::nullopt, fmt::format("Can't open config.json: {}: {}",
                                      Platform::Utf8FromPath(path), file.failure)};
  }
  // The host's calendar clock, which the schedules run on.
  ConfigText read =
      ReadConfigText(*file.text, zones, CalendarSecond(AsaApi::Tools::GetSystemClockTicks()));
  const ConfigCheck::Report& report = read.report;
  if (report.syntax_error) {
    return {std::nullopt, SyntaxFailure(report)};
  }
  LogFindings(report);
  return {LoadedConfig(std::move(read.document), std::move(read.settings),
                       Describe(report.custom_commands_failure), report.findings,
                       std::move(read.zones_to_look_up)),
          {}};
}

namespace {

// A start-up stopped by the file registers no command, bw.reload included: the way out
// is a mended file and a restart.
std::string AtStartUp(std::string failure) {
  constexpr std::string_view kAdviceForAReload = ConfigCheck::kUnreadableConsequence;
  if (failure.ends_with(kAdviceForAReload)) {
    failure.resize(failure.size() - kAdviceForAReload.size());
    failure +=
        "the plug-in cannot read this file and stopped its start-up: fix the file and "
        "restart the server";
  }
  return failure;
}

}  // namespace

bool StartConfig() {
  ConfigRead read = ReadConfigFile(ZoneChecks::kAtTheFirstTimerCall);
  if (!read.config) {
    Log::Error("Load stopped: {}", AtStartUp(std::move(read.failure)));
    return false;
  }
  UseConfig(std::move(*read.config));
  return true;
}

void StopConfig() {
  Live() = {};
}

void UseConfig(LoadedConfig config) {
  Live() = {std::move(config.document_), std::move(config.settings_),
            std::move(config.custom_commands_failure_), std::move(config.findings_),
            std::move(config.zones_to_look_up_)};
}

void CheckZonesLeftForLater() {
  if (Live().zones_to_look_up.empty()) {
    return;
  }
  const std::vector<ConfigCheck::Finding> found =
      LookUpZones(Live().zones_to_look_up, CalendarSecond(AsaApi::Tools::GetSystemClockTicks()));
  Live().zones_to_look_up.clear();
  LogFindings(found);
  std::vector<ConfigCheck::Finding>& live = Live().findings;
  live.insert(live.end(), found.begin(), found.end());
  std::ranges::stable_sort(live, [](const ConfigCheck::Finding& a, const ConfigCheck::Finding& b) {
    return std::tie(a.line, a.column) < std::tie(b.line, b.column);
  });
}

const std::string& LiveCustomCommandsFailure() {
  return Live().custom_commands_failure;
}

const std::vector<ConfigCheck::Finding>& LiveFindings() {
  return Live().findings;
}

std::string_view ConfigFileName() {
  return kFileName;
}

const nlohmann::json& ConfigDocument() {
  return Live().document;
}

const ConfigSettings& LiveSettings() {
  return Live().settings;
}

}  // namespace Bellwright
