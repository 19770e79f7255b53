#include "plugin/load.hpp"

#include <exception>

#include "config/config.hpp"
#include "plugin/host_boundary.hpp"
#include "plugin/logger.hpp"

namespace Bellwright {
namespace {

void LogFailure(const char* what_stopped, const std::exception& error) {
  if (const auto& logger = PluginLogger()) logger->error("{}: {}", what_stopped, error.what());
}

void LoadSteps() {
  InitLogger(PluginLogger(), "Bellwright");
  try {
    ReadConfig();
  } catch (const std::exception& error) {
    // Without a configuration nothing is registered: the server runs without us.
    LogFailure("Load stopped", error);
    return;
  }
}

void UnloadSteps() {}

}  // namespace

void Load() {
  RunGuarded("Load", LoadSteps);
}

void Unload() {
  RunGuarded("Unload", UnloadSteps);
}

}  // namespace Bellwright
