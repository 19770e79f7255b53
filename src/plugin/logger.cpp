#include "plugin/logger.hpp"

#include <spdlog/common.h>
#include <spdlog/logger.h>

#include "host/tools.hpp"

namespace Bellwright {

std::shared_ptr<spdlog::logger>& PluginLogger() {
  static std::shared_ptr<spdlog::logger> holder;
  return holder;
}

void InitLogger(std::shared_ptr<spdlog::logger>& holder, const std::string& name) {
  const std::vector<spdlog::sink_ptr> sinks = GetLogSinks();
  holder = std::make_shared<spdlog::logger>(name, sinks.begin(), sinks.end());
  holder->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
  holder->flush_on(spdlog::level::info);
}

}  // namespace Bellwright
