#pragma once

#include "host/fstring.hpp"

namespace Bellwright {

// The full file path of the plug-in's own library, which the host uses to tell
// plug-ins apart (messaging objects, delayed tasks).
FString PluginModulePath();

}  // namespace Bellwright
