#pragma once

#include "host/fstring.hpp"
#include "host/tarray.hpp"

namespace Bellwright {

[[nodiscard]] bool HasPendingWelcomes();

// The ids queued for greeting, in queue order; the queue is left empty.
TArray<FString> TakePendingWelcomes();

}  // namespace Bellwright
