#pragma once

#include <fmt/format.h>
#include <spdlog/common.h>

#include <string_view>
#include <utility>

// The plug-in's logger, named after it, over the host's shared sinks. It exists from
// Start (the first step of Load) to Stop (the last step of Unload); a line written
// outside that time goes nowhere.
namespace Bellwright::Log {

void Start();
void Stop();

void Write(spdlog::level::level_enum level, std::string_view line);

template <typename... Args>
void Error(fmt::format_string<Args...> format, Args&&... args) {
  Write(spdlog::level::err, fmt::format(format, std::forward<Args>(args)...));
}

template <typename... Args>
void Warning(fmt::format_string<Args...> format, Args&&... args) {
  Write(spdlog::level::warn, fmt::format(format, std::forward<Args>(args)...));
}

template <typename... Args>
void Info(fmt::format_string<Args...> format, Args&&... args) {
  Write(spdlog::level::info, fmt::format(format, std::forward<Args>(args)...));
}

}  // namespace Bellwright::Log
