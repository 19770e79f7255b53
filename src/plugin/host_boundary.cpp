#include "plugin/host_boundary.hpp"

#include "plugin/logger.hpp"

namespace Bellwright {

void ReportEscapedException(const char* where, const std::exception* error) noexcept {
  try {
    if (const auto& logger = PluginLogger()) {
      logger->error("Unexpected error in {}: {}", where,
                    error != nullptr ? error->what() : "unknown exception");
    }
  } catch (...) {
    // Nothing is left to report through; the host must still not see it.
  }
}

}  // namespace Bellwright
