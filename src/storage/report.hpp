#pragma once

#include <functional>
#include <string>

namespace Bellwright::Storage {

enum class Severity { kInfo, kWarning, kError };

// How the store tells the administrator about failures and recoveries, one whole line
// each. Called from the store's worker thread, so the sink must be thread-safe.
using Reporter = std::function<void(Severity severity, const std::string& line)>;

}  // namespace Bellwright::Storage
