#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "config/config.hpp"

// The players' opt-out of timed messages ("TimedMessages" -> "OptOut..."). Every read is
// lenient: a value of the wrong type gives the default, as the feature always read them.
namespace Bellwright {

inline constexpr const char* kDefaultOptOutOffLine =
    "Timed messages are off for you. Type {Command} to turn them back on.";
inline constexpr const char* kDefaultOptOutOnLine = "Timed messages are on for you again.";

// "OptOutCommand": empty while the feature is off.
std::string OptOutCommandName(const nlohmann::json& document = ConfigDocument());

// "OptOutOffMessage" or "OptOutOnMessage": the answer to a player who just turned timed
// messages off, or back on.
std::string OptOutAnswerLine(bool opted_out, const nlohmann::json& document = ConfigDocument());

}  // namespace Bellwright
