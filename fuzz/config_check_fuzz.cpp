// Arbitrary bytes as a configuration file, through the one reading the plug-in and the
// checker share. Besides never crashing or hanging: a text the document reader refuses
// is a syntax error, a custom-command table that does not load always has the value
// that stops it named, and the aliases the checks expect registered are the ones the
// host's table registers, in its order.
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
#include "config/config_text.hpp"
#include "config/custom_command_settings.hpp"
#include "config_checks/json_text/document_reader.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/position_index.hpp"
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

void RequireTheSameAliases(std::string_view text, const nlohmann::json& document,
                           const Bellwright::CustomCommandSettings& settings) {
  const std::vector<Bellwright::CommandAlias> registered =
      Bellwright::RegistrableAliases(Bellwright::BuildCustomCommandTable(settings));
  const Bellwright::ConfigCheck::PositionIndex index(text, Bellwright::ConfigCheck::kMaxDepth);
  Bellwright::ConfigCheck::Findings findings(index);
  Bellwright::CommandNameTable names;
  static_cast<void>(Bellwright::ReadCustomCommandSettings({&document, "", findings}, names));
  const Bellwright::ConfigCheck::Registrations& expected = names.registrations;
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
  const Bellwright::ConfigText read = Bellwright::ReadConfigText(text);
  const Report& report = read.report;
  for (const Finding& finding : report.findings) {
    CheckFinding(finding);
  }
  Require(!report.syntax_error || (report.not_json && report.findings.size() == 1));
  const std::optional<nlohmann::json> document = ReadAsThePlugInDoes(text);
  Require(report.syntax_error == !document.has_value());
  if (document && !report.not_json) {
    const bool loader_fails = read.settings.custom_commands.unreadable != nullptr;
    Require(report.custom_commands_failure.has_value() == loader_fails);
    if (!loader_fails) {
      RequireTheSameAliases(text, *document, read.settings.custom_commands);
    }
  }
  return 0;
}
