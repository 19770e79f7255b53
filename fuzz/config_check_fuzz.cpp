// Arbitrary bytes as a configuration file, through the checks. Besides never
// crashing or hanging, the checks must agree with the plug-in itself: a text its
// reader refuses is a syntax error, and the custom commands fail to load exactly
// when the checks name the value that stops them, and the aliases the checks expect
// registered are the plug-in's, in its order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.hpp"
#include "config_checks/command_registrations.hpp"
#include "config_checks/config_check.hpp"
#include "config_checks/json_text/document_reader.hpp"
#include "custom_commands/command_aliases.hpp"
#include "custom_commands/custom_command_table.hpp"

namespace {

using Bellwright::ConfigCheck::Finding;
using Bellwright::ConfigCheck::Report;

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

// The plug-in's own reading of the file: the same reader, at any depth.
std::optional<nlohmann::json> ReadAsThePlugInDoes(std::string_view text) {
  Bellwright::ConfigCheck::ReadResult read = Bellwright::ConfigCheck::ReadConfigDocument(text);
  if (read.syntax_error) {
    return std::nullopt;
  }
  return std::move(read.document);
}

bool LoaderFails(const nlohmann::json& document) {
  try {
    static_cast<void>(Bellwright::BuildCustomCommandTable(document));
    return false;
  } catch (const std::exception&) {
    return true;
  }
}

void RequireTheSameAliases(const nlohmann::json& document) {
  const std::vector<Bellwright::CommandAlias> registered =
      Bellwright::RegistrableAliases(Bellwright::BuildCustomCommandTable(document));
  static const nlohmann::json kNoSection;
  const auto section = document.find("CustomCommands");
  const Bellwright::ConfigCheck::Registrations expected =
      Bellwright::ConfigCheck::RegisterCommands(section != document.end() ? *section : kNoSection);
  Require(expected.aliases.size() == registered.size());
  for (std::size_t index = 0; index < registered.size(); ++index) {
    const auto& alias = expected.aliases[index];
    Require(Bellwright::FromUtf8(alias.name).EqualsExactly(registered[index].alias));
    Require(Bellwright::FromUtf8(expected.commands[alias.command].registered_name)
                .EqualsExactly(registered[index].command));
  }
}

void CheckFinding(const Finding& finding) {
  Require(finding.line >= 1 && finding.column >= 1);
  Require(!finding.message.empty() && finding.message.find('\n') == std::string::npos);
  Require(finding.pointer.empty() || finding.pointer.front() == '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Report report = Bellwright::ConfigCheck::CheckConfigText(text);
  for (const Finding& finding : report.findings) {
    CheckFinding(finding);
  }
  Require(!report.syntax_error || (report.not_json && report.findings.size() == 1));
  const std::optional<nlohmann::json> document = ReadAsThePlugInDoes(text);
  Require(report.syntax_error == !document.has_value());
  if (document && !report.not_json) {
    const bool loader_fails = LoaderFails(*document);
    Require(report.custom_commands_failure.has_value() == loader_fails);
    if (!loader_fails) {
      RequireTheSameAliases(*document);
    }
  }
  return 0;
}
