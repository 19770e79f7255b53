#include "base/log.hpp"

#include <spdlog/logger.h>
#include <spdlog/sinks/sink.h>

#include <memory>
#include <vector>

#include "base/plugin_name.hpp"
#include "host/tools.hpp"

namespace Bellwright::Log {
namespace {

// Constant-initialised, so it exists before the library's start-up runs Load.
constinit std::shared_ptr<spdlog::logger> plugin_logger;

}  // namespace

void Start() {
  const std::vector<spdlog::sink_ptr> sinks = GetLogSinks();
  plugin_logger = std::make_shared<spdlog::logger>(kPluginName, sinks.begin(), sinks.end());
  // Month/day/two-digit year and hours:minutes in local time, as the host's own
  // plug-ins write. The sinks are the host's and outlive the plug-in: each makes its
  // formatter with its own code (a virtual call into the host), since a formatter made
  // here would be destroyed, or used by the host, after this library is unloaded.
  for (const spdlog::sink_ptr& sink : sinks) {
    sink->set_pattern("%D %R [%n][%l] %v");
  }
  plugin_logger->flush_on(spdlog::level::info);
}

void Stop() {
  plugin_logger.reset();
}

void Write(spdlog::level::level_enum level, std::string_view line) {
  if (plugin_logger) {
    plugin_logger->log(level, line);
  }
}

}  // namespace Bellwright::Log
