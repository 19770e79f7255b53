#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "config_checks/command_registrations.hpp"

namespace Bellwright::ConfigCheck {

class Findings;

// Whether the plug-in reads the value at `pointer` below "/Bellwright/Storage": the
// section only while an opt-out command or a first-join welcome is set, and its server keys only
// for "MySQL". Everything else is read.
bool StorageReads(const nlohmann::json& document, std::string_view pointer);

// The opt-out command's name and whether it can be registered, and where the
// players' choices are stored.
void CheckOptOut(const nlohmann::json& document, const Registrations& registrations,
                 Findings& findings);

}  // namespace Bellwright::ConfigCheck
