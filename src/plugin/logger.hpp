#pragma once

#include <spdlog/logger.h>

#include <memory>
#include <string>

namespace Bellwright {

// The process-wide holder of the plug-in's logger; empty until Load runs.
std::shared_ptr<spdlog::logger>& PluginLogger();

// Creates a logger named `name` over the host's sinks and stores it in `holder`.
void InitLogger(std::shared_ptr<spdlog::logger>& holder, const std::string& name);

}  // namespace Bellwright
