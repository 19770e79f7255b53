#include "base/host_boundary.hpp"

#include "base/log.hpp"

namespace Bellwright {

void ReportEscapedException(const char* where, const std::exception* error) noexcept {
  try {
    Log::Error("Unexpected error in {}: {}", where,
               error != nullptr ? error->what() : "unknown exception");
  } catch (...) {
    // Nothing is left to report through; the host must still not see it.
  }
}

}  // namespace Bellwright
