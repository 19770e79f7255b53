#include "config/config.hpp"

#include <fmt/format.h>

#include <fstream>
#include <sstream>
#include <utility>

#include "base/log.hpp"
#include "config_checks/config_check.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

// Made on first use: the library's start-up runs before its other static objects
// are constructed.
nlohmann::json& LiveDocument() {
  static nlohmann::json document;
  return document;
}

std::string& LiveFailure() {
  static std::string failure;
  return failure;
}

// Findings name the file as administrators know it; the full path is in the one line
// that says it could not be opened.
constexpr std::string_view kFileName = "config.json";

void LogFindings(const ConfigCheck::Report& report) {
  for (const ConfigCheck::Finding& finding : report.findings) {
    const std::string line = ConfigCheck::FormatFinding(kFileName, finding);
    if (finding.severity == ConfigCheck::Severity::kError) {
      Log::Error("{}", line);
    } else {
      Log::Warning("{}", line);
    }
  }
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

// The parser refused the text: the checks say where and why in plain words.
std::string SyntaxFailure(std::string_view text, const nlohmann::json::exception& error) {
  const ConfigCheck::Report report = ConfigCheck::CheckConfigText(text);
  return report.findings.empty() ? std::string(error.what())
                                 : ConfigCheck::FormatFinding(kFileName, report.findings.front());
}

}  // namespace

std::string PluginFolderPath() {
  return AsaApi::Tools::GetCurrentDir() + "/ArkApi/Plugins/BellwrightEx";
}

std::string ConfigFilePath() {
  return PluginFolderPath() + "/config.json";
}

nlohmann::json ParseConfigText(std::string_view text) {
  // Not strict: the reader stops after the first value, as the stream form of the
  // parser does, where the strict string form would refuse what follows it.
  nlohmann::json document;
  nlohmann::detail::json_sax_dom_parser<nlohmann::json> builder(document);
  nlohmann::json::sax_parse(text.begin(), text.end(), &builder,
                            nlohmann::json::input_format_t::json,
                            /*strict=*/false);
  return document;
}

ConfigRead ReadConfigFile() {
  const std::string path = ConfigFilePath();
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    return {std::nullopt, "Can't open config.json: " + path};
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  const std::string text = std::move(contents).str();
  nlohmann::json document;
  try {
    document = ParseConfigText(text);
  } catch (const nlohmann::json::exception& error) {
    return {std::nullopt, SyntaxFailure(text, error)};
  }
  const ConfigCheck::Report report = ConfigCheck::CheckConfigText(text, document);
  LogFindings(report);
  return {LoadedConfig(std::move(document), Describe(report.custom_commands_failure)), {}};
}

bool StartConfig() {
  ConfigRead read = ReadConfigFile();
  if (!read.config) {
    Log::Error("Load stopped: {}", read.failure);
    return false;
  }
  UseConfig(std::move(*read.config));
  return true;
}

void StopConfig() {
  LiveDocument() = nullptr;
  LiveFailure().clear();
}

void UseConfig(LoadedConfig config) {
  LiveDocument() = std::move(config.document_);
  LiveFailure() = std::move(config.custom_commands_failure_);
}

const std::string& LiveCustomCommandsFailure() {
  return LiveFailure();
}

const nlohmann::json& ConfigDocument() {
  return LiveDocument();
}

}  // namespace Bellwright
