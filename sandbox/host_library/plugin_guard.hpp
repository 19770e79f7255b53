#pragma once

#include <exception>
#include <string_view>

#include "host_library/events.hpp"

namespace Sandbox {

// Every call from the host into plug-in code goes through here: the real server
// would not survive an exception leaving the plug-in, so the sandbox records it.
template <typename Body>
void CallPlugin(std::string_view where, Body&& body) noexcept {
  try {
    body();
  } catch (const std::exception& error) {
    EmitHostError(where, error.what());
  } catch (...) {
    EmitHostError(where, "an exception that is not a std::exception");
  }
}

}  // namespace Sandbox
