#include "config/config_text.hpp"

#include <chrono>
#include <exception>
#include <string>

#include "config_checks/document_checks.hpp"
#include "config_checks/json_text/document_reader.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/position_index.hpp"
#include "config_checks/unknown_keys.hpp"

namespace Bellwright {
namespace {

using ConfigCheck::Findings;

ConfigSettings ReadSettings(const nlohmann::json& document, Findings& findings,
                            std::vector<ZoneToLookUp>* zones_later, std::chrono::sys_seconds now) {
  const SettingValue root(&document, "", findings);
  ConfigSettings settings;
  // First: the value that stops the custom commands is watched before any finding.
  CommandNameTable names;
  settings.custom_commands = ReadCustomCommandSettings(root, names);
  ConfigCheck::CheckDocumentShape(document, findings);
  if (!document.is_object()) {
    // The send commands and the loader fail on it; everything else takes its defaults.
    settings.general = ReadGeneralSettings(root);
    return settings;
  }
  ConfigCheck::CheckUnknownKeys(document, findings);
  settings.general = ReadGeneralSettings(root);
  const SettingValue general = GeneralSection(root);
  settings.welcome = ReadWelcomeSettings(general);
  settings.announcements = ReadAnnouncementSettings(root, names.registrations, zones_later, now);
  const bool storage_in_use = !settings.announcements.timed.opt_out_command.empty() ||
                              !settings.welcome.first_join_message.empty() ||
                              !settings.general.server_name.empty();
  settings.storage = ReadStorageSetting(general, storage_in_use);
  settings.countdown = ReadCountdownSettings(root);
  return settings;
}

ConfigText Read(std::string_view text, ZoneChecks zones, std::chrono::sys_seconds now) {
  ConfigText read;
  std::vector<ZoneToLookUp>* zones_later =
      zones == ZoneChecks::kAtTheFirstTimerCall ? &read.zones_to_look_up : nullptr;
  if (text.size() > ConfigCheck::kMaxTextBytes) {
    read.report = ConfigCheck::TooLargeReport();
    return read;
  }
  ConfigCheck::ReadResult parsed = ConfigCheck::ReadConfigDocument(text);
  read.document = std::move(parsed.document);
  const ConfigCheck::PositionIndex index(text, ConfigCheck::kMaxDepth);
  Findings findings(index);
  ConfigCheck::Report& report = read.report;
  if (parsed.syntax_error) {
    report.syntax_error = true;
    report.not_json = true;
    ConfigCheck::CheckSyntaxError(*parsed.syntax_error, findings);
  } else if (ConfigCheck::CheckDepth(findings)) {
    report.not_json = true;
    Findings unchecked(index);
    // Nor are the zones reported later; still, none is looked up where it must not be.
    std::vector<ZoneToLookUp> unreported;
    read.settings =
        ReadSettings(read.document, unchecked, zones_later != nullptr ? &unreported : nullptr, now);
  } else {
    read.settings = ReadSettings(read.document, findings, zones_later, now);
    if (findings.Watched() && !findings.WatchedError()) {
      // Every value the loader cannot read has its own finding; this keeps the reason
      // for a failed load from ever going missing.
      findings.AtValue(kError, *findings.Watched(), std::string(kStopsCustomCommands));
    }
    report.custom_commands_failure = findings.WatchedError();
  }
  report.omitted_findings = findings.Omitted();
  report.findings = findings.TakeInFileOrder();
  return read;
}

}  // namespace

ConfigText ReadConfigText(std::string_view text, ZoneChecks zones,
                          std::optional<std::chrono::sys_seconds> now) noexcept {
  std::string reason = "an unknown failure";
  try {
    return Read(
        text, zones,
        now.value_or(std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now())));
  } catch (const std::exception& error) {
    reason = error.what();
  } catch (...) {
  }
  // Only exhausted memory gets here; whoever asked must carry on all the same.
  ConfigText unfinished;
  unfinished.report = ConfigCheck::UnfinishedReport(reason);
  return unfinished;
}

}  // namespace Bellwright
