#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "config_checks/json_text/finding.hpp"

namespace Bellwright::ConfigCheck {

class Findings;

// A schedule's zone left to be looked up later: where it stands, and its name.
struct ZoneToLookUp {
  std::string name;
  std::string pointer;
  int line = 0;
  int column = 0;
};

// The announcement lists and the schedules: the names that let each run, the lists'
// intervals and messages, the schedules' clock times, days, zones and countdown steps,
// and each message as a timed message is checked. With `zones_later`, the zones are not
// looked up in the time-zone database but added there, for LookUpZones.
void CheckAnnouncements(const nlohmann::json& document, Findings& findings,
                        std::vector<ZoneToLookUp>* zones_later);

// The findings about zones left for later: those the database does not know, or all when
// it cannot be read.
std::vector<Finding> LookUpZones(const std::vector<ZoneToLookUp>& zones);

}  // namespace Bellwright::ConfigCheck
