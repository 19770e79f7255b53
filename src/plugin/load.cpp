#include "plugin/load.hpp"

#include <exception>

#include "automatic/hooks.hpp"
#include "commands/registration.hpp"
#include "config/config.hpp"
#include "custom_commands/custom_command_registry.hpp"
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
  RegisterAdministrativeCommands();
  InstallHooks();
  try {
    LoadCustomCommands();
  } catch (const std::exception& error) {
    // The administrative commands and hooks stay: bw.reload can bring in a mended file.
    LogFailure("Custom commands not loaded", error);
  }
}

// Removes everything Load may have registered, whatever it reached: removing what
// was never there is harmless to the host.
void UnloadSteps() {
  RemoveAdministrativeCommands();
  RemoveHooks();
  UnregisterCustomCommands();
}

}  // namespace

void Load() {
  RunGuarded("Load", LoadSteps);
}

void Unload() {
  RunGuarded("Unload", UnloadSteps);
}

}  // namespace Bellwright
