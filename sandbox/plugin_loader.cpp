#include "plugin_loader.hpp"

#include <dlfcn.h>
#include <link.h>

#include "host_library/commands.hpp"
#include "host_library/timer.hpp"
#include "host_library/events.hpp"
#include "host_library/hooks.hpp"
#include "host_library/log_sink.hpp"
#include "host_library/text.hpp"

namespace Sandbox {

namespace {

void ReportLeftOver(const std::string& what) {
  EmitHostError("unload", what + " was still registered after the plug-in's shut-down; dropped");
}

}  // namespace

PluginLoader::~PluginLoader() {
  if (IsLoaded()) {
    Unload();
  }
}

std::string PluginLoader::Load(const std::string& path) {
  if (IsLoaded()) {
    return "the plug-in is already loaded";
  }
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* const error = dlerror();
    return error != nullptr ? error : "cannot open " + path;
  }
  path_ = path;
  return {};
}

// The tasks' code lives in the library, so they are destroyed while it is mapped.
// The plug-in names itself by the file name the loader knows it by.
void PluginLoader::DropWaitingTasks() {
  link_map* map = nullptr;
  if (dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
    return;
  }
  const std::string name = map->l_name;
  TheDelayedTasks().DropModule(FromUtf8(name));
  TheDelayedTasks().DropModule(FString(std::string_view(name)));
}

void PluginLoader::Unload() {
  if (!IsLoaded()) {
    return;
  }
  DropWaitingTasks();
  dlclose(handle_);
  handle_ = nullptr;
  if (void* const resident = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(resident);
    EmitHostError("unload", "the plug-in library stayed in memory after it was closed");
  }
  // From here on nothing the plug-in registered may be called or destroyed.
  for (const std::string& command : TheCommandRegistry().AbandonAll()) {
    ReportLeftOver(command);
  }
  for (const std::string& hook : TheGameFunctions().RemoveAllDetours()) {
    ReportLeftOver("the hook of " + hook);
  }
  if (const int tasks = TheDelayedTasks().Abandon(); tasks > 0) {
    ReportLeftOver(std::to_string(tasks) + " delayed task(s)");
  }
  ResetLogFormatters();
}

}  // namespace Sandbox
