#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "base/byte_color.hpp"
#include "config/custom_command.hpp"
#include "host/fstring.hpp"

// "CustomCommands", read strictly where the commands have always been (a value of
// the wrong JSON type throws the library's error) and leniently in the keys added
// since ("Aliases", "CooldownSeconds").
namespace Bellwright {

struct NamedCustomCommand {
  FString name;  // the member's key
  CustomCommand command;
};

// The commands of the section in member order; members without a message are
// skipped. Throws the JSON library's errors for a section or a value of the wrong
// type, so a caller can refuse the whole document.
std::vector<NamedCustomCommand> ReadCustomCommands(const nlohmann::json& document);

// One member's value as a record; empty when its "Message" is absent or empty.
std::optional<CustomCommand> ReadCustomCommand(const nlohmann::json& value);

// "CooldownSeconds" as host-clock ticks: zero or less is no cooldown, and a value
// past about three centuries is held there.
std::int64_t CooldownTicksFromSeconds(double seconds);

// "MessageColor": elements 0 to 2 are red, green and blue, truncated toward zero and
// cut to their low 8 bits; alpha is 255. Fewer than three numbers give black.
ByteColor MessageColorFromNumbers(const std::vector<float>& numbers);

}  // namespace Bellwright
