#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

// Whether the plug-in reads a value at all: a value it never reads cannot fail, so
// the checks say nothing of its type or its spelling. Each answer restates the
// reading code it names; the fuzz target of the checks holds the custom-command
// loader to it.
namespace Bellwright::ConfigCheck {

// Whether both the custom-command loader (LoaderReads) and the opt-out storage
// (StorageReads) read the value at `pointer`; values outside their sections are read.
bool PluginReads(const nlohmann::json& document, std::string_view pointer);

// Whether the loader reads the value at `pointer` (below "/CustomCommands").
bool LoaderReads(const nlohmann::json& document, std::string_view pointer);

// Whether a turn of the timed message at `pointer`'s entry reads the key `pointer`
// names: the sender only for chat lines, the display values and the icon only for
// notifications.
bool TimedMessageReads(const nlohmann::json& document, std::string_view pointer);

}  // namespace Bellwright::ConfigCheck
