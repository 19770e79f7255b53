#pragma once

#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "config/config_settings.hpp"
#include "config_checks/report.hpp"

namespace Bellwright {

// A configuration text read once: the document, what the plug-in takes from it, and
// what the checks found on the way.
struct ConfigText {
  // Null when the text is not JSON.
  nlohmann::json document;
  ConfigSettings settings;
  ConfigCheck::Report report;
  // The schedules' zones, when they were left to be looked up later (LookUpZones).
  std::vector<ZoneToLookUp> zones_to_look_up;
};

// The one reading of a configuration text, for the plug-in's load and reload and for
// bellwright-check: each section's reader takes its settings and judges them, then the
// rules across sections run. A document too deep to check is read all the same, without
// findings. Never throws; its cost grows with the text as n log n at most.
ConfigText ReadConfigText(std::string_view text,
                          ZoneChecks zones = ZoneChecks::kWithTheOthers) noexcept;

}  // namespace Bellwright
