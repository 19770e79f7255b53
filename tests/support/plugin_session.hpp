#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/plugin_folder.hpp"
#include "host_library/server_directory.hpp"
#include "plugin/load.hpp"

// The plug-in started in this process over the sandbox's host library, as the host
// starts it, with `config` as its configuration file in a temporary server
// directory; stopped and cleaned up at the end. The library is not unloaded, so a
// session after another shows whether the plug-in's own stop left a clean state.
class PluginSession {
 public:
  explicit PluginSession(std::string_view config) : directory_(UniqueDirectory()) {
    std::filesystem::create_directories(ConfigFile().parent_path());
    WriteConfig(config);
    Sandbox::SetServerDirectory(directory_.string());
    Bellwright::Load();
  }
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;
  ~PluginSession() {
    Bellwright::Unload();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  // Rewrites the configuration file (a reload then reads it).
  void WriteConfig(std::string_view config) const {
    std::ofstream(ConfigFile(), std::ios::binary) << config;
  }

  [[nodiscard]] std::filesystem::path ConfigFile() const {
    return directory_ / Bellwright::kPluginFolder / Bellwright::kConfigFileName;
  }

 private:
  static std::filesystem::path UniqueDirectory() {
    static std::atomic<int> sessions{0};
    return std::filesystem::temp_directory_path() /
           ("bellwright-session-" + std::to_string(::getpid()) + "-" + std::to_string(++sessions));
  }

  std::filesystem::path directory_;
};
