#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "base/byte_color.hpp"
#include "custom_commands/custom_command.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// Command name to record. Names that differ only in letter case are one key, and the
// key keeps the spelling it was first inserted with.
using CustomCommandTable = std::map<FString, CustomCommand, FStringCaseInsensitiveLess>;

// Builds the table from the "CustomCommands" object of a configuration document.
// Members without a message are skipped. Throws the JSON library's errors for a
// section or a value of the wrong type, so a caller can refuse the whole document.
CustomCommandTable BuildCustomCommandTable(const nlohmann::json& document);

// One member's value as a record; empty when its "Message" is absent or empty.
std::optional<CustomCommand> ReadCustomCommand(const nlohmann::json& value);

// "CooldownSeconds" as host-clock ticks: zero or less is no cooldown, and a value
// past about three centuries is held there.
std::int64_t CooldownTicksFromSeconds(double seconds);

// "MessageColor": elements 0 to 2 are red, green and blue, truncated toward zero and
// cut to their low 8 bits; alpha is 255. Fewer than three numbers give black.
ByteColor MessageColorFromNumbers(const std::vector<float>& numbers);

}  // namespace Bellwright
