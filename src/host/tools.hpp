#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/host_api.hpp"

namespace spdlog::sinks {
class sink;
}  // namespace spdlog::sinks

namespace AsaApi::Tools {

// The server's current directory as UTF-8, without a trailing separator.
HOST_API std::string GetCurrentDir();
// UTF-8 to the engine's wide text. Invalid sequences become U+FFFD.
HOST_API std::u16string Utf8Decode(const std::string& text);
// The host's calendar clock: 100-nanosecond ticks since 1970-01-01 00:00 UTC. An
// administrator or a time service may set it forward or back.
HOST_API std::int64_t GetSystemClockTicks();
// The host's steady clock: 100-nanosecond ticks from an unspecified start, which only
// ever move forward, whatever the calendar clock does. Durations are measured on it.
HOST_API std::int64_t GetSteadyClockTicks();

}  // namespace AsaApi::Tools

// The host's shared log sinks; a plug-in's logger writes wherever the host logs.
HOST_API std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks();
