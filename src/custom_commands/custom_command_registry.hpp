#pragma once

#include "custom_commands/custom_command.hpp"
#include "host/fstring.hpp"

namespace Bellwright {

// The live record for a typed command name (letter case ignored), or null. The
// record lives until the table is next replaced.
const CustomCommand* FindCustomCommand(const FString& name);

}  // namespace Bellwright
