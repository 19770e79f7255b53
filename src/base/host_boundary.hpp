#pragma once

#include <exception>

namespace Bellwright {

// Reports an exception that was about to leave a callback into the host.
void ReportEscapedException(const char* where, const std::exception* error) noexcept;

// The one guard at the host boundary: every callback the plug-in hands to the host
// (command handler, detour, delayed task) goes through it, because the real server
// would not survive an exception leaving the plug-in.
template <auto Function>
struct Guarded;

template <typename... Args, void (*Function)(Args...)>
struct Guarded<Function> {
  static void Call(Args... args) noexcept {
    try {
      Function(args...);
    } catch (const std::exception& error) {
      ReportEscapedException("a host callback", &error);
    } catch (...) {
      ReportEscapedException("a host callback", nullptr);
    }
  }
};

// Runs `body` under the same guard; for callbacks that are closures (delayed tasks).
template <typename Body>
void RunGuarded(const char* where, Body&& body) noexcept {
  try {
    body();
  } catch (const std::exception& error) {
    ReportEscapedException(where, &error);
  } catch (...) {
    ReportEscapedException(where, nullptr);
  }
}

}  // namespace Bellwright
