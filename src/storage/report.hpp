#pragma once

#include <functional>
#include <string>

namespace Bellwright::Storage {

enum class Severity { kInfo, kWarning, kError };

// How the store tells the administrator about failures and recoveries, one whole line
// each, on the thread that drives the store.
using Reporter = std::function<void(Severity severity, const std::string& line)>;

}  // namespace Bellwright::Storage
