#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace Bellwright::ConfigCheck {

class Findings;

// A command the loader keeps: an object with a non-empty "Message". The loader reads
// nothing else of any other member, so only a kept command's values matter.
bool IsKeptCommand(const nlohmann::json& command);

// Whether the loader reads the value at `pointer` (below "/CustomCommands").
bool LoaderReads(const nlohmann::json& document, std::string_view pointer);

// The first value, in the loader's reading order, that makes the loader throw.
std::optional<std::string> CustomCommandLoaderFailure(const nlohmann::json& document);

// Names, duplicate names, chains of commands, missing messages, colours and
// notification values of the custom commands.
void CheckCustomCommands(const nlohmann::json& document, Findings& findings);

}  // namespace Bellwright::ConfigCheck
