#pragma once

#include <string>
#include <vector>

#include "storage/stored_choice.hpp"

namespace Bellwright {

// Choices not yet written when the plug-in unloads wait in a small file beside the
// configuration until the next start writes them to the storage.
std::string KeptChoicesFilePath();

// The choices kept there; none when there is no file or it cannot be read.
std::vector<Storage::StoredChoice> ReadKeptChoices();
// Replaces the file with these choices (atomically), or removes it when there are none.
// Returns what went wrong, empty on success.
std::string KeepChoices(const std::vector<Storage::StoredChoice>& choices);

// Greetings not yet recorded wait likewise, in a file of their own, so that nobody is
// greeted as new twice.
std::string KeptGreetingsFilePath();
std::vector<std::string> ReadKeptGreetings();
std::string KeepGreetings(const std::vector<std::string>& player_keys);

}  // namespace Bellwright
