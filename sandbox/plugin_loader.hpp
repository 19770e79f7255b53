#pragma once

#include <string>

namespace Sandbox {

// Opens and closes the plug-in library the way the host does: opening runs its
// start-up, closing its shut-down, and closing really unmaps it.
class PluginLoader {
 public:
  PluginLoader() = default;
  PluginLoader(const PluginLoader&) = delete;
  PluginLoader& operator=(const PluginLoader&) = delete;
  ~PluginLoader();

  // Empty on success, otherwise why the library could not be opened.
  std::string Load(const std::string& path);
  // Closes the library. Whatever the plug-in left behind (tasks, commands, hooks)
  // is dropped safely and reported as host_error.
  void Unload();
  [[nodiscard]] bool IsLoaded() const { return handle_ != nullptr; }

 private:
  void DropWaitingTasks();
  // Closes the library and checks that it is gone.
  void Close();

  void* handle_ = nullptr;
  std::string path_;
};

}  // namespace Sandbox
